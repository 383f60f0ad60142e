#pragma once

#include "app/Application.h"
#include "app/Desktop.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vorlane::test {

// Records what the controller shows, plays and starts instead of doing it.
class RecordingDesktop : public Desktop
{
public:
    struct Tray
    {
        int image;
        std::string tip;
        bool operator==(const Tray&) const = default;
        friend void PrintTo(const Tray& tray, std::ostream* out)
        {
            *out << "{" << tray.image << ", \"" << tray.tip << "\"}";
        }
    };

    void AddTrayIcon(int image, const std::string& tip) override
    {
        ++adds;
        tray.push_back({image, tip});
    }
    void UpdateTrayIcon(int image, const std::string& tip) override
    {
        tray.push_back({image, tip});
    }
    void RemoveTrayIcon() override { ++removes; }
    void UpdateMenu(const PopupMenuState& state) override { menu = state; }
    void ShowMessage(const std::string& text) override
    {
        // Like the real window: once exit was requested, it closes at once.
        messages.push_back(text);
        events.push_back("message");
        if (onMessage && !ExitRequested())
            onMessage(text);
    }
    void ShowNewMailMessage(const std::string& text, const MailMessageList* headers, bool autoHide,
                            int autoHideSeconds) override
    {
        newMail.push_back({text, headers != nullptr ? *headers : MailMessageList{},
                           headers != nullptr, autoHide, autoHideSeconds});
        events.push_back("window");
    }
    void ShowNewMailNotification(const std::vector<EntryWithNewMail>& entries) override
    {
        notices.push_back(ComposeNewMailNotice(entries));
        events.push_back("notification");
    }
    bool ShowSettings() override
    {
        events.push_back("settings");
        if (onSettings)
            onSettings();
        return settingsAccepted;
    }
    void ShowAbout() override { events.push_back("about"); }
    void RaiseOpenWindow() override { events.push_back("raise"); }
    bool OfferCertificateTrust(const std::string& report, const std::string& certificate) override
    {
        // Recorded like any report, with the certificate for the test to look at.
        messages.push_back(report);
        certificates.push_back(certificate);
        events.push_back("trust offer");
        return trustCertificates && !ExitRequested();
    }
    void Beep() override { events.push_back("beep"); }
    void PlayWaveFile(const std::string& fileName) override
    {
        events.push_back("sound " + fileName);
    }
    void StartProcess(const std::string& commandLine) override
    {
        events.push_back("start " + commandLine);
    }

    struct NewMail
    {
        std::string text;
        MailMessageList headers;
        bool withHeaders;
        bool autoHide;
        int autoHideSeconds;
    };

    int adds = 0;
    int removes = 0;
    std::vector<Tray> tray;
    PopupMenuState menu;
    std::vector<std::string> messages;
    std::vector<NewMail> newMail;
    std::vector<NewMailNotice> notices;
    std::vector<std::string> events;
    std::vector<std::string> certificates; // shown with the trust offers
    bool trustCertificates = false;        // the answer to a trust offer
    std::function<void(const std::string&)> onMessage;
    std::function<void()> onSettings;
    bool settingsAccepted = false; // what the user's OK or Cancel answers
};

} // namespace vorlane::test
