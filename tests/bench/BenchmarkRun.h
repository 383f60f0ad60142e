#pragma once

#include "app/ProtocolForm.h"
#include "app/RecordingDesktop.h"
#include "config/SettingsStore.h"
#include "servers/Dovecot.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"
#include "timesync/RecordingClockSetter.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace vorlane::test {

// What every benchmark runs in: a temporary home (never the user's files) and an application
// on the offscreen platform, for the whole run.
class BenchmarkRun
{
public:
    BenchmarkRun(int& argc, char** argv) : application_(argc, argv) {}

private:
    static bool Prepare(const TempDir& home)
    {
        UseTemporaryHome(home.Path());
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return true;
    }
    TempDir home_{"bench-home"};
    bool prepared_ = Prepare(home_); // before the application exists
    QApplication application_;
};

// Whether Dovecot can run here; says why not.
inline bool CanRunDovecot()
{
    std::string why;
    if (Dovecot::Available(why))
        return true;
    std::fprintf(stderr, "cannot run: %s\n", why.c_str());
    return false;
}

// A controller over its own settings file with these rows, its log and header caches in a
// folder of its own, and a recording desktop.
struct BenchmarkController
{
    BenchmarkController(const Settings& settings, const std::vector<MailServerRow>& rows,
                        int mailPort)
    {
        WriteSettings(store, settings, rows);
        controller = std::make_unique<TProtocolForm>(
            TProtocolForm::Environment{store,
                                       desktop,
                                       clockSetter,
                                       (dir / "Vorlane.log").string(),
                                       mailPort,
                                       0,
                                       {},
                                       {},
                                       nullptr,
                                       dir / "cache"});
    }

    TempDir dir{"bench"};
    RegistryStore store{dir / "registry.reg", SettingsFileOptions()};
    RecordingDesktop desktop;
    RecordingClockSetter clockSetter;
    std::unique_ptr<TProtocolForm> controller;
};

} // namespace vorlane::test
