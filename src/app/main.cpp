// Vorlane: a tray program that checks POP3 mailboxes and sets the clock from a time server.
#include "app/Application.h"
#include "app/ProtocolForm.h"
#include "app/QtDesktop.h"
#include "app/SingleInstance.h"
#include "config/SettingsStore.h"
#include "net/KeychainPasswordStore.h"
#include "net/RasBinding.h"
#include "net/TimedatedClockSetter.h"
#include "timesync/ClockSetter.h"
#include "ui/AboutForm.h"
#include "ui/SettingsForm.h"
#include "util/Log.h"

#include <sys/prctl.h>

int main(int argc, char** argv)
{
    // Passwords are in memory while a poll or the settings need them: a crash must not write
    // them into a core dump or a crash report.
    ::prctl(PR_SET_DUMPABLE, 0L, 0L, 0L, 0L);

    vorlane::SingleInstance instance;
    const auto lock = instance.TryAcquire();
    if (lock == vorlane::SingleInstance::Lock::HeldByAnother)
        return 0;
    std::vector<std::string> startupProblems;
    if (lock == vorlane::SingleInstance::Lock::Failed)
        startupProblems.push_back(instance.FailureText());

    vorlane::Application application(argc, argv);
    vorlane::Application::setApplicationName(QStringLiteral("Vorlane"));
    vorlane::Application::setApplicationDisplayName(QStringLiteral("Vorlane"));
    vorlane::Application::setQuitOnLastWindowClosed(false);

    auto store = vorlane::UserRegistryStore();
    vorlane::QtDesktop desktop;
    // The clock directly when the process may set it, else through systemd-timedated.
    vorlane::SystemClockSetter directClock;
    vorlane::TimedatedClockSetter timedated(vorlane::RasBinding::SystemBusAddress());
    vorlane::FallbackClockSetter clock(directClock, timedated);
    vorlane::KeychainPasswordStore passwords;
    vorlane::TProtocolForm controller({store,
                                       desktop,
                                       clock,
                                       vorlane::DetermineLogFileName(),
                                       110,
                                       37,
                                       {},
                                       std::move(startupProblems),
                                       &passwords});
    application.SetExceptionHandler(
        [&](const std::string& text) { controller.ApplicationException(text); });
    desktop.SetHandler(&controller);
    desktop.SetDialogs(
        [&] {
            vorlane::SettingsFormServices services;
            services.passwords = &passwords;
            vorlane::TSettingsForm form(store, std::move(services));
            form.exec();
        },
        [] {
            vorlane::TAboutForm form;
            form.exec();
        });

    controller.FormCreate();
    if (controller.ExitRequested())
        return 0;
    return vorlane::Application::exec();
}
