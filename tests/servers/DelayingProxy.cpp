#include "servers/DelayingProxy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace vorlane::test {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const auto n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void NoDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

} // namespace

DelayingProxy::DelayingProxy(int serverPort, std::chrono::milliseconds delay)
    : serverPort_(serverPort), delay_(delay)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    auto address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0)
        throw std::runtime_error("the delaying proxy cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

DelayingProxy::~DelayingProxy()
{
    stop_ = true;
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(wake_[1], &byte, 1);
    thread_.join();
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

DelayingProxy::Traffic DelayingProxy::Take()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(traffic_, {});
}

void DelayingProxy::Run()
{
    while (!stop_) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if ((fds[0].revents & POLLIN) != 0) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                Serve(client);
                ::close(client);
            }
        }
    }
}

void DelayingProxy::Serve(int client)
{
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto address = Loopback(serverPort_);
    if (::connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(server);
        return;
    }
    NoDelay(server);
    NoDelay(client);
    struct Chunk
    {
        Clock::time_point due;
        std::string data;
    };
    std::deque<Chunk> late; // from the server, waiting for their time
    bool serverOpen = true;
    char buffer[65536];
    while (!stop_) {
        const auto now = Clock::now();
        while (!late.empty() && late.front().due <= now) {
            if (!WriteAll(client, late.front().data.data(), late.front().data.size()))
                break;
            late.pop_front();
        }
        if (!serverOpen && late.empty())
            break; // the server has said all it will say, and all of it has arrived
        int timeout = -1;
        if (!late.empty())
            timeout = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(late.front().due - Clock::now())
                    .count());
        pollfd fds[3] = {
            {client, POLLIN, 0}, {serverOpen ? server : -1, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 3, std::max(timeout, late.empty() ? -1 : 0)) < 0 && errno != EINTR)
            break;
        if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const auto n = ::recv(server, buffer, sizeof buffer, 0);
            if (n <= 0) {
                serverOpen = false;
            } else {
                late.push_back(
                    {Clock::now() + delay_, std::string(buffer, static_cast<std::size_t>(n))});
                const std::lock_guard lock(mutex_);
                traffic_.toClient += static_cast<std::uint64_t>(n);
            }
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const auto n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0 || !WriteAll(server, buffer, static_cast<std::size_t>(n)))
                break;
            const std::lock_guard lock(mutex_);
            traffic_.toServer += static_cast<std::uint64_t>(n);
            partialCommand_.append(buffer, static_cast<std::size_t>(n));
            for (auto end = partialCommand_.find("\r\n"); end != std::string::npos;
                 end = partialCommand_.find("\r\n")) {
                traffic_.commands.push_back(partialCommand_.substr(0, end));
                partialCommand_.erase(0, end + 2);
            }
        }
    }
    ::close(server);
    const std::lock_guard lock(mutex_);
    partialCommand_.clear();
}

} // namespace vorlane::test
