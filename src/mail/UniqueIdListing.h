#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// 1 to kMaxIdLength printable ASCII characters, no blank (RFC 1939 allows 70).
bool IsValidUniqueId(std::string_view id);

// The unique ids of the messages first..last, read line by line from the server's answer to
// UIDL (RFC 1939). Only that range is kept, so a server that announces billions of messages
// cannot exhaust the memory.
class UniqueIdListing
{
public:
    // Servers that go beyond the 70 characters of the RFC are still served, up to this.
    static constexpr std::size_t kMaxIdLength = 255;

    void Begin(int first, int last);
    // One line, "n id": a line of another form, a message outside the range or an id of other
    // than printable ASCII characters is passed over.
    void Read(std::string_view line);
    // The ids of first..last in order, empty for a message the listing left out. Nothing when
    // the listing named a message twice or gave two messages the same id: then it cannot tell
    // messages apart, and the headers of one could be shown for another.
    std::optional<std::vector<std::string>> Result() const;

private:
    int first_ = 1;
    std::vector<std::string> ids_;
    bool contradictory_ = false;
};

} // namespace vorlane
