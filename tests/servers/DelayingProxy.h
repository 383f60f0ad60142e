#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorlane::test {

// A TCP relay on 127.0.0.1 in front of a server on 127.0.0.1: what the server sends reaches the
// client `delay` later (the latency of a slow link, not its bandwidth: replies sent one after
// the other arrive one after the other, each late by the delay); what the client sends goes on
// at once. It counts the bytes both ways and records the client's command lines. It runs on a
// thread of its own, so it keeps its time whatever the test's event loop does, and it serves
// one connection after the other.
class DelayingProxy
{
public:
    DelayingProxy(int serverPort, std::chrono::milliseconds delay);
    DelayingProxy(const DelayingProxy&) = delete;
    DelayingProxy& operator=(const DelayingProxy&) = delete;
    ~DelayingProxy();

    int Port() const { return port_; }

    struct Traffic
    {
        std::uint64_t toServer = 0;
        std::uint64_t toClient = 0;
        std::vector<std::string> commands; // the client's lines, without CR LF
    };
    // What went through since the last call.
    Traffic Take();

private:
    void Run();
    void Serve(int client);

    int serverPort_;
    std::chrono::milliseconds delay_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    Traffic traffic_;
    std::string partialCommand_;
    std::thread thread_;
};

} // namespace vorlane::test
