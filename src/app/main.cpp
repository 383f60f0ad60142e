// Vorlane: a tray program that checks POP3 mailboxes and sets the clock from a time server.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/HeadlessCheck.h"
#include "app/InstanceChannel.h"
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

#include <QCoreApplication>
#include <sys/prctl.h>
#include <exception>
#include <iostream>

namespace {

int RunHeadlessCheck(int argc, char** argv, bool json)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vorlane"));
    auto store = vorlane::UserRegistryStore();
    vorlane::KeychainPasswordStore passwords;
    try {
        vorlane::HeadlessCheck check{store, vorlane::DetermineLogFileName(),
                                     vorlane::HeadlessCheck::DefaultLastCheckFile(), 110,
                                     &passwords};
        return check.Run(json, std::cout);
    } catch (const std::exception& failure) {
        std::cerr << "vorlane: " << failure.what() << '\n';
        return 2;
    }
}

// Another instance runs: it gets the command.
int HandOver(int argc, char** argv, const vorlane::StartCommand& command, const QString& socket)
{
    QCoreApplication application(argc, argv);
    if (vorlane::InstanceChannel::Send(socket, command.InstanceWord(), 2000))
        return 0;
    std::cerr << "vorlane: Vorlane runs already, but did not take the command.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Passwords are in memory while a poll or the settings need them: a crash must not write
    // them into a core dump or a crash report.
    ::prctl(PR_SET_DUMPABLE, 0L, 0L, 0L, 0L);
    using Action = vorlane::StartCommand::Action;
    const auto command = vorlane::ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (command.action == Action::Exit) {
        (command.outputIsError ? std::cerr : std::cout) << command.output;
        return command.exitCode;
    }
    if (command.action == Action::Check)
        return RunHeadlessCheck(argc, argv, command.json);

    vorlane::SingleInstance instance;
    const auto lock = instance.TryAcquire();
    const auto socket =
        vorlane::InstanceChannel::SocketPath(vorlane::SingleInstance::LockFileName());
    if (lock == vorlane::SingleInstance::Lock::HeldByAnother)
        return HandOver(argc, argv, command, socket);
    if (command.action == Action::Quit)
        return 0; // nothing runs that could end
    std::vector<std::string> startupProblems;
    if (lock == vorlane::SingleInstance::Lock::Failed)
        startupProblems.push_back(instance.FailureText());

    vorlane::Application application(argc, argv);
    vorlane::Application::setApplicationName(QStringLiteral("Vorlane"));
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
            return form.exec() == QDialog::Accepted;
        },
        [] {
            vorlane::TAboutForm form;
            form.exec();
        });
    vorlane::InstanceChannel channel;
    if (lock == vorlane::SingleInstance::Lock::Acquired)
        channel.Listen(socket, [&](const std::string& word) { controller.CarryOutCommand(word); });

    controller.FormCreate();
    if (controller.ExitRequested())
        return 0;
    // A command given to this very start, once the first pass is over (which checked already).
    if (command.action == Action::Settings || command.action == Action::StopWaving)
        controller.CarryOutCommand(command.InstanceWord());
    return vorlane::Application::exec();
}
