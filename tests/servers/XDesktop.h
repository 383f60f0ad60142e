#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vorlane::test {

// An X server of its own (Xvfb), optionally with trayer as its notification area. Both are ended,
// by their process ids, when the object goes.
class XDesktop
{
public:
    XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;
    ~XDesktop();

    static bool Available(std::string& why);

    // ":90" and the like; empty when the server did not start.
    const std::string& Display() const { return display_; }
    // Starts trayer and waits until its panel is there; false if it does not come.
    bool StartTrayer();

    // What xwininfo says with these arguments (the test's own words).
    std::string Windows(const std::string& arguments) const;
    // A picture of the screen, or of an area "X Y WIDTH HEIGHT", saved to the file; its bytes.
    std::string Grab(const std::filesystem::path& file, const std::string& area = {}) const;

private:
    pid_t xvfb_ = -1;
    pid_t trayer_ = -1;
    std::string display_;
};

} // namespace vorlane::test
