#include "servers/Xinetd.h"
#include "timesync/DateTime.h"
#include "timesync/RecordingClockSetter.h"
#include "timesync/SetClock.h"

#include <arpa/inet.h>
#include <ctime>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlane {
namespace {

// Everything the server sends until it closes the connection.
std::string ReceiveAll(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval limit{10, 0}; // only so that a silent server cannot hang the run
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        char buffer[64];
        ssize_t n = 0;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return received;
}

TEST(XinetdTime, TheDatumOfARealTimeServerIsTheMachineClock)
{
    std::string why;
    if (!test::Xinetd::Available(why))
        GTEST_SKIP() << why;
    test::Xinetd xinetd;
    xinetd.Start();

    const std::string received = ReceiveAll(xinetd.Port());
    const std::time_t machine = std::time(nullptr);
    ASSERT_EQ(received.size(), kTimeDataSize);
    TimeData data{};
    std::copy(received.begin(), received.end(), data.begin());

    test::RecordingClockSetter setter(false);
    SetClockFromTimeData(data, setter);
    ASSERT_EQ(setter.Calls().size(), 1u);
    const auto handed = UnixSecondsFromSystemTime(setter.Calls()[0]);
    ASSERT_TRUE(handed.has_value());
    EXPECT_NEAR(static_cast<double>(*handed), static_cast<double>(machine), 3.0);
    EXPECT_EQ(setter.Calls()[0].millisecond, 0);
}

} // namespace
} // namespace vorlane
