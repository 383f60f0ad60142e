#pragma once

#include "app/PopupMenuState.h"
#include "mail/MailMessage.h"
#include "mail/NewMailNotice.h"

#include <string>

namespace vorlane {

// The actions a desktop notification of new mail offers.
enum class NotificationAction
{
    OpenMailClient,
    StopWaving,
};

// What the desktop tells the controller: the tray icon's mouse and the menu's commands.
class DesktopHandler
{
public:
    virtual ~DesktopHandler() = default;
    virtual void TrayRightButtonUp() = 0; // before the menu opens
    virtual void TrayDoubleClick() = 0;   // a real double click only, not its first click
    virtual void PopupMenuPopup() = 0;    // the menu is opening
    virtual void MenuCommandClick(MenuCommand command) = 0;
    virtual void ChecknowMenuItemClick(int tag) = 0; // "Check now" or one of its submenu items
    virtual void NotificationActionInvoked(NotificationAction action) = 0;
};

// What the controller shows, plays and starts on the user's desktop. The program uses the real
// one; tests use a recording one.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // The tray icon: a picture of the image list and a tip of at most 63 characters.
    virtual void AddTrayIcon(int image, const std::string& tip) = 0;
    virtual void UpdateTrayIcon(int image, const std::string& tip) = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void UpdateMenu(const PopupMenuState& menu) = 0;

    // The message window with a message alone; returns when the user has closed it (at once
    // once exit was requested).
    virtual void ShowMessage(const std::string& text) = 0;
    // The new-mail window, with the headers when given. Without auto-hide it returns when the
    // user has closed it; with auto-hide also after autoHideSeconds.
    virtual void ShowNewMailMessage(const std::string& text, const MailMessageList* headers,
                                    bool autoHide, int autoHideSeconds) = 0;
    // New mail of one pass as a desktop notification, replacing the pass before's.
    virtual void ShowNewMailNotification(const std::vector<EntryWithNewMail>& entries) = 0;
    // The settings dialog; true when the user closed it with OK.
    virtual bool ShowSettings() = 0;
    // Brings the window that is open now to the front (a later start asked for it).
    virtual void RaiseOpenWindow() = 0;
    virtual void ShowAbout() = 0;

    // The report of a poll whose server certificate could not be verified (or is not the one
    // trusted before), with the certificate's subject, issuer, validity and fingerprint, and the
    // choice "Trust this certificate". True when the user chose it; returns at once with false
    // once exit was requested.
    virtual bool OfferCertificateTrust(const std::string& report,
                                       const std::string& certificate) = 0;

    virtual void Beep() = 0;
    // Plays the wave file without waiting for its end; failures are silent.
    virtual void PlayWaveFile(const std::string& fileName) = 0;
    // Starts the command line, split like a shell splits it, as a process of its own; a command
    // that cannot be started fails silently.
    virtual void StartProcess(const std::string& commandLine) = 0;
};

} // namespace vorlane
