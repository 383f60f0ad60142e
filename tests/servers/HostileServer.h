#pragma once

#include <QProcess>
#include <string>

namespace vorlane::test {

// A POP3 server in a process of its own that misbehaves on purpose (scripts/hostile_pop3.py):
// it goes on sending while the program under test is busy, as a real server on the network
// would. The modes are those of the script.
class HostileServer
{
public:
    explicit HostileServer(const std::string& mode);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    // 0 when the server did not start.
    int Port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

} // namespace vorlane::test
