#include "app/ImapWatches.h"

#include "app/ImapWatch.h"
#include "config/PasswordStore.h"

#include <algorithm>
#include <chrono>

namespace vorlane {

ImapWatches::ImapWatches(PasswordStore* keyring, std::function<void(const std::string&)> log,
                         QObject* parent)
    : QObject(parent), keyring_(keyring), log_(std::move(log))
{}

ImapWatches::~ImapWatches() = default;

void ImapWatches::Watch(const std::vector<TMailServer>& entries)
{
    watches_.clear();
    for (const auto& entry : entries) {
        if (entry.Protocol != MailProtocol::Imap)
            continue;
        auto watch = std::make_unique<ImapWatch>(
            entry, DefaultMailPort(entry.Security, MailProtocol::Imap),
            [this, entry] { return PasswordOf(entry); }, log_);
        const std::string name = entry.Name;
        connect(watch.get(), &ImapWatch::newsArrived, this,
                [this, name] { emit newsArrived(name); });
        if (!paused_)
            watch->Start();
        watches_.push_back(std::move(watch));
    }
}

void ImapWatches::Pause()
{
    paused_ = true;
    for (auto& watch : watches_)
        watch->Stop();
}

void ImapWatches::Resume()
{
    if (!std::exchange(paused_, false))
        return;
    for (auto& watch : watches_)
        watch->Start();
}

bool ImapWatches::Idling(const std::string& entryName) const
{
    return std::any_of(watches_.begin(), watches_.end(), [&](const auto& watch) {
        return watch->EntryName() == entryName && watch->Idling();
    });
}

std::optional<std::string> ImapWatches::PasswordOf(const TMailServer& entry) const
{
    if (!entry.PasswordInKeyring)
        return entry.Password;
    if (keyring_ == nullptr)
        return std::nullopt;
    const auto found = keyring_->Read({entry.UserName, entry.Host}, std::chrono::seconds(5));
    if (found.Status != KeyringStatus::Done)
        return std::nullopt;
    return found.Password;
}

} // namespace vorlane
