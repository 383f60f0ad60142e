// Prints, for each kind of hostile POP3 server, how long one poll took against its time-out and
// the peak resident memory of the program meanwhile:
//   build/tests/bench/hostile_server_benchmark [time-out in seconds, default 20]
#include "BenchmarkRun.h"
#include "app/ProtocolForm.h"
#include "app/RecordingDesktop.h"
#include "config/SettingsStore.h"
#include "servers/HostileServer.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"
#include "timesync/RecordingClockSetter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The peak resident memory since the last reset, in MiB.
double PeakResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vorlane;
    const int timeout = argc > 1 ? std::atoi(argv[1]) : 20;
    const test::BenchmarkRun run(argc, argv);

    std::printf("%-13s %10s %10s %12s %12s  %s\n", "server", "time-out", "poll [s]", "late [ms]",
                "peak [MiB]", "report");
    for (const char* mode : {"flood", "stream", "endless-line", "early-close"}) {
        test::HostileServer server(mode);
        if (server.Port() == 0) {
            std::fprintf(stderr, "the %s server did not start\n", mode);
            return 1;
        }
        const test::TempDir dir("bench");
        RegistryStore store(dir / "registry.reg", SettingsFileOptions());
        Settings settings;
        settings.LogToFile = true;
        settings.DisplayHeaders = true;
        settings.ConnectionTimeout = timeout;
        WriteSettings(store, settings, {{"Bench", "joe", "127.0.0.1", "10", "secret"}});
        test::RecordingDesktop desktop;
        test::RecordingClockSetter clockSetter;
        TProtocolForm controller(
            {store, desktop, clockSetter, (dir / "Vorlane.log").string(), server.Port()});
        ResetPeakResident();
        QElapsedTimer clock;
        clock.start();
        controller.FormCreate(); // the first tick polls the entry
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const bool timedOut =
            !desktop.messages.empty() &&
            desktop.messages.front().find("A timeout error occured") != std::string::npos;
        std::string report = desktop.messages.empty() ? "(none)" : desktop.messages.front();
        report = report.substr(report.find('\n') + 1);
        std::printf("%-13s %9ds %10.3f %12s %12.1f  %s\n", mode, timeout, seconds,
                    timedOut ? std::to_string(static_cast<int>((seconds - timeout) * 1000)).c_str()
                             : "-",
                    PeakResidentMiB(), report.c_str());
        std::fflush(stdout);
    }
    return 0;
}
