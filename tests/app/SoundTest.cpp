// A sound really plays: PulseAudio with a null sink, recorded from the sink's monitor.
#include "app/QtDesktop.h"
#include "support/TempDir.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlane {
namespace {

using test::TempDir;

pid_t Spawn(const std::vector<std::string>& arguments, const std::string& output = {})
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!output.empty()) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 1);
        }
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        std::vector<char*> argv;
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void End(pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// A second of a 440 Hz tone, 16-bit mono.
void WriteTone(const std::filesystem::path& file)
{
    constexpr int rate = 44100;
    constexpr int samples = rate;
    std::string data;
    for (int i = 0; i < samples; ++i) {
        const auto sample = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440 * i / rate));
        data.push_back(static_cast<char>(sample & 0xFF));
        data.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
    const auto u32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    const auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string wav = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) +
                            u16(1) + u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" +
                            u32(data.size()) + data;
    test::WriteFile(file, wav);
}

// The loudest sample of a raw 16-bit recording.
int Peak(const std::string& raw)
{
    int peak = 0;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
        peak = std::max(
            peak, std::abs(static_cast<int16_t>(static_cast<uint8_t>(raw[i]) | (raw[i + 1] << 8))));
    return peak;
}

TEST(Sound, PlayWaveFileIsHeardOnTheSinkAndReleasesTheDevice)
{
    if (::access("/usr/bin/pulseaudio", X_OK) != 0 || ::access("/usr/bin/parec", X_OK) != 0)
        GTEST_SKIP()
            << "PulseAudio is not installed (Debian packages pulseaudio, pulseaudio-utils)";
    const TempDir dir("sound");
    const auto socket = (dir / "pulse.sock").string();
    const pid_t server =
        Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-L",
               "module-null-sink sink_name=vorlane_test", "-L",
               "module-native-protocol-unix socket=" + socket + " auth-anonymous=1"});
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(std::filesystem::exists(socket)) << "PulseAudio did not start";
    ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);

    const auto recording = (dir / "recording.raw").string();
    const pid_t recorder = Spawn({"parec", "--device=vorlane_test.monitor", "--raw",
                                  "--format=s16le", "--channels=1", "--rate=8000"},
                                 recording);
    QTest::qWait(500);

    const auto tone = dir / "tone.wav";
    WriteTone(tone);
    QtDesktop desktop;
    // The sound system reports its devices a moment after it is first asked.
    for (int i = 0; i < 100 && !QMediaDevices::defaultAudioOutput().id().contains("vorlane_test");
         ++i)
        QTest::qWait(50);
    ASSERT_TRUE(QMediaDevices::defaultAudioOutput().id().contains("vorlane_test"))
        << QMediaDevices::defaultAudioOutput().id().toStdString();
    desktop.PlayWaveFile(tone.string()); // returns at once: the sound plays meanwhile
    for (int i = 0; i < 100 && !desktop.MediaPlayer().source().isEmpty(); ++i)
        QTest::qWait(50);
    EXPECT_TRUE(desktop.MediaPlayer().source().isEmpty())
        << "the device is released when the sound ends";
    // What the sink still holds reaches the recording a moment later.
    int peak = 0;
    for (int i = 0; i < 100 && peak <= 2000; ++i) {
        QTest::qWait(50);
        peak = Peak(test::ReadFile(recording));
    }
    End(recorder);
    End(server);
    EXPECT_GT(peak, 2000) << "nothing was heard on the sink";
}

} // namespace
} // namespace vorlane
