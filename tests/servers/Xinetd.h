#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>

namespace vorlane::test {

// xinetd in the foreground serving only its internal Time protocol service (stream) on
// 127.0.0.1, with its configuration, pid file and logs in a temporary folder. Ended, by its
// process id, when the object goes.
class Xinetd
{
public:
    // Port 0 picks a free one.
    explicit Xinetd(int port = 0);
    Xinetd(const Xinetd&) = delete;
    Xinetd& operator=(const Xinetd&) = delete;
    ~Xinetd();

    static bool Available(std::string& why);

    int Port() const { return port_; }
    // Returns once the service listens; throws with xinetd's log when it does not come up.
    void Start();

private:
    TempDir dir_{"xinetd"};
    int port_;
    pid_t pid_ = -1;
};

} // namespace vorlane::test
