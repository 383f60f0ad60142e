// Vorlane: a tray program that checks POP3 mailboxes and sets the clock from a time server.
#include "app/Application.h"
#include "app/ProtocolForm.h"
#include "app/QtDesktop.h"
#include "app/SingleInstance.h"
#include "config/SettingsStore.h"
#include "timesync/ClockSetter.h"
#include "ui/AboutForm.h"
#include "ui/SettingsForm.h"
#include "util/Log.h"

int main(int argc, char** argv)
{
    vorlane::SingleInstance instance;
    const auto lock = instance.TryAcquire();
    if (lock == vorlane::SingleInstance::Lock::HeldByAnother)
        return 0;
    std::vector<std::string> startupProblems;
    if (lock == vorlane::SingleInstance::Lock::Failed)
        startupProblems.push_back(instance.FailureText());

    vorlane::Application application(argc, argv);
    vorlane::Application::setApplicationName(QStringLiteral("Vorlane"));
    vorlane::Application::setQuitOnLastWindowClosed(false);

    auto store = vorlane::UserRegistryStore();
    vorlane::QtDesktop desktop;
    vorlane::SystemClockSetter clock;
    vorlane::TProtocolForm controller({store,
                                       desktop,
                                       clock,
                                       vorlane::DetermineLogFileName(),
                                       110,
                                       37,
                                       {},
                                       std::move(startupProblems)});
    application.SetExceptionHandler(
        [&](const std::string& text) { controller.ApplicationException(text); });
    desktop.SetHandler(&controller);
    desktop.SetDialogs(
        [&] {
            vorlane::TSettingsForm form(store);
            return form.exec() == QDialog::Accepted;
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
