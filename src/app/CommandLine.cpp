#include "app/CommandLine.h"

#include "util/Version.h"

#include <QCommandLineParser>
#include <QStringList>

namespace vorlane {

std::string StartCommand::InstanceWord() const
{
    switch (action) {
    case Action::Run:
    case Action::Settings:
        return kSettingsWord;
    case Action::CheckNow:
        return kCheckNowWord;
    case Action::StopWaving:
        return kStopWavingWord;
    case Action::Quit:
        return kQuitWord;
    case Action::Check:
    case Action::Exit:
        break;
    }
    return {};
}

StartCommand ParseCommandLine(const std::vector<std::string>& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Vorlane checks your mailboxes and sets the clock from a time server, from an icon in "
        "the tray. Started while it runs, it hands the command to the running Vorlane; "
        "started without a command, it opens the settings there.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version({"v", "version"}, "Shows the version.");
    const QCommandLineOption settings("settings", "Opens the settings.");
    const QCommandLineOption checkNow("check-now", "Checks every mailbox now.");
    const QCommandLineOption stopWaving("stop-waving", "Stops the waving of the icon.");
    const QCommandLineOption quit("quit", "Ends the running Vorlane.");
    const QCommandLineOption check("check",
                                   "Checks every mailbox once, without any window, prints one "
                                   "line per mailbox (name, count, size, new or not, error) and "
                                   "exits: 0 no new mail, 1 new mail, 2 a check failed.");
    const QCommandLineOption json("json", "With --check: prints a JSON array instead.");
    parser.addOptions({help, version, settings, checkNow, stopWaving, quit, check, json});

    QStringList list;
    for (const auto& argument : arguments)
        list << QString::fromLocal8Bit(argument.c_str());
    StartCommand command;
    if (!parser.parse(list) || !parser.positionalArguments().isEmpty()) {
        command.action = StartCommand::Action::Exit;
        command.exitCode = 2;
        command.outputIsError = true;
        command.output = (parser.errorText().isEmpty() ? QStringLiteral("Unexpected argument: ") +
                                                             parser.positionalArguments().value(0)
                                                       : parser.errorText())
                             .toStdString() +
                         "\nTry 'vorlane --help'.\n";
        return command;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        command.action = StartCommand::Action::Exit;
        // The usage line names the program as the user calls it, whatever runs the parser.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QStringLiteral(" [options]")),
                     QStringLiteral("Usage: vorlane"));
        command.output =
            parser.isSet(help) ? text.toStdString() : "Vorlane " + GetVersionString() + "\n";
        return command;
    }
    const std::pair<const QCommandLineOption*, StartCommand::Action> actions[] = {
        {&settings, StartCommand::Action::Settings},
        {&checkNow, StartCommand::Action::CheckNow},
        {&stopWaving, StartCommand::Action::StopWaving},
        {&quit, StartCommand::Action::Quit},
        {&check, StartCommand::Action::Check},
    };
    int chosen = 0;
    for (const auto& [option, action] : actions)
        if (parser.isSet(*option)) {
            command.action = action;
            ++chosen;
        }
    command.json = parser.isSet(json);
    if (chosen > 1 || (command.json && command.action != StartCommand::Action::Check)) {
        command.action = StartCommand::Action::Exit;
        command.json = false;
        command.exitCode = 2;
        command.outputIsError = true;
        command.output = "Give one command at a time (--json goes with --check).\n"
                         "Try 'vorlane --help'.\n";
    }
    return command;
}

} // namespace vorlane
