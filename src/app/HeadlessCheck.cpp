#include "app/HeadlessCheck.h"

#include "app/ActivityLog.h"
#include "app/Desktop.h"
#include "app/MailPoll.h"
#include "app/NetworkWait.h"
#include "app/TrayStatus.h"
#include "config/RegistryError.h"
#include "config/RegistryValue.h"
#include "config/SettingsStore.h"
#include "util/Log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <ostream>

namespace vorlane {

namespace {

// Nothing is shown: the check has no desktop.
class NoDesktop : public Desktop
{
public:
    void AddTrayIcon(int, const std::string&) override {}
    void UpdateTrayIcon(int, const std::string&) override {}
    void RemoveTrayIcon() override {}
    void UpdateMenu(const PopupMenuState&) override {}
    void ShowMessage(const std::string&) override {}
    void ShowNewMailMessage(const std::string&, const MailMessageList*, bool, int) override {}
    void ShowNewMailNotification(const std::vector<EntryWithNewMail>&) override {}
    bool ShowSettings() override { return false; }
    void RaiseOpenWindow() override {}
    void ShowAbout() override {}
    bool OfferCertificateTrust(const std::string&, const std::string&) override { return false; }
    void Beep() override {}
    void PlayWaveFile(const std::string&) override {}
    void StartProcess(const std::string&) override {}
};

struct Result
{
    std::string name;
    int count = 0;
    int size = 0;
    bool hasNew = false;
    std::string error;
};

// The report on one line.
std::string OneLine(const std::string& report)
{
    std::string line;
    for (const char c : report) {
        if (c == '\r')
            continue;
        line.push_back(c == '\n' || c == '\t' ? ' ' : c);
    }
    return line;
}

void PrintLines(const std::vector<Result>& results, std::ostream& out)
{
    for (const auto& r : results)
        out << r.name << '\t' << r.count << '\t' << r.size << '\t' << (r.hasNew ? "new" : "old")
            << '\t' << r.error << '\n';
}

void PrintJson(const std::vector<Result>& results, std::ostream& out)
{
    QJsonArray array;
    for (const auto& r : results)
        array.append(QJsonObject{
            {"name", QString::fromStdString(r.name)},
            {"count", r.count},
            {"size", r.size},
            {"new", r.hasNew},
            {"error", r.error.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(r.error))},
        });
    out << QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString() << '\n';
}

} // namespace

std::filesystem::path HeadlessCheck::DefaultLastCheckFile()
{
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    return std::filesystem::path(ChooseLogDirectory({}, false, stateHome, home)) / "last-check.reg";
}

int HeadlessCheck::Run(bool json, std::ostream& out)
{
    Settings settings;
    std::vector<TMailServer> entries;
    const auto root = store.Read(); // a file that cannot be read ends the check with its reason
    LoadSettings(root, settings, entries, {});

    RegistryStore lastCheck(lastCheckFile);
    RegistryKey previous("HKEY_CURRENT_USER");
    try {
        previous = lastCheck.Read();
    } catch (const RegistryError&) {
        // A damaged record of the last check only makes every mailbox count as new once.
    }

    ClientSocket socket;
    NetworkWait wait(socket);
    wait.SetConnectionTimeout(settings.ConnectionTimeout);
    const ActivityLog log(settings, logFileName);
    NoDesktop desktop;
    TrayStatus tray(desktop);
    MailPoll poll(socket, wait, log, tray, mailPort, passwords);

    std::vector<Result> results;
    for (auto& entry : entries) {
        Result result;
        result.name = entry.Name;
        if (const auto* last = previous.OpenKey(entry.Name)) {
            if (const auto* count = last->FindValue("Count"))
                entry.SetMessageCount(ReadInteger(*count, "Count"));
            if (const auto* size = last->FindValue("Size"))
                entry.SetMailboxSize(ReadInteger(*size, "Size"));
        }
        log.LogMessage("Checking " + entry.Host + " for new mail.");
        if (poll.RunMailDialogue(entry, false)) {
            entry.SetMessageCount(poll.StatCount());
            entry.SetMailboxSize(poll.StatSize());
            result.hasNew = entry.HasNewMail() && entry.MessageCount > 0;
        } else {
            result.error = OneLine(poll.ReportMailError(entry.Name));
        }
        result.count = entry.MessageCount;
        result.size = entry.MailboxSize;
        results.push_back(result);
    }

    lastCheck.Modify([&](RegistryKey& root) {
        for (const auto& name : root.SubkeyNames())
            root.DeleteKey(name);
        for (const auto& entry : entries) {
            auto& key = root.CreateKey(entry.Name);
            key.SetValue("Count", IntegerValue(entry.MessageCount));
            key.SetValue("Size", IntegerValue(entry.MailboxSize));
        }
    });

    if (json)
        PrintJson(results, out);
    else
        PrintLines(results, out);
    int code = 0;
    for (const auto& r : results) {
        if (!r.error.empty())
            return 2;
        if (r.hasNew)
            code = 1;
    }
    return code;
}

} // namespace vorlane
