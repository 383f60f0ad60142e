#include "app/QtDesktop.h"

#include "app/Application.h"
#include "ui/MessageForm.h"
#include "ui/ProgramIcon.h"

#include <QPixmap>

namespace vorlane {

QtDesktop::QtDesktop()
{
    tray_.setIcon(QIcon(QPixmap::fromImage(ProgramIconImage(32))));
    checkNow_ = menu_.addAction(QStringLiteral("Check &now"), [this] {
        if (commands_.checkNow && checkNow_->menu() == nullptr)
            commands_.checkNow(-1);
    });
    menu_.addSeparator();
    menu_.addAction(QStringLiteral("E&xit"), [this] {
        if (commands_.exit)
            commands_.exit();
    });
    tray_.setContextMenu(&menu_);
}

void QtDesktop::SetCommands(Commands commands)
{
    commands_ = std::move(commands);
}

void QtDesktop::AddTrayIcon(int image, const std::string& tip)
{
    UpdateTrayIcon(image, tip);
    tray_.show();
}

void QtDesktop::UpdateTrayIcon(int /*image*/, const std::string& tip)
{
    tray_.setToolTip(QString::fromStdString(tip));
}

void QtDesktop::RemoveTrayIcon()
{
    tray_.hide();
}

void QtDesktop::SetMenuItemsEnabled(bool enabled)
{
    checkNow_->setEnabled(enabled);
}

void QtDesktop::BuildCheckNowMenu(const std::vector<std::string>& entryNames)
{
    checkNowMenu_.clear();
    if (entryNames.size() < 2) {
        checkNow_->setMenu(nullptr);
        return;
    }
    const auto add = [this](const QString& caption, int tag) {
        checkNowMenu_.addAction(caption, [this, tag] {
            if (commands_.checkNow)
                commands_.checkNow(tag);
        });
    };
    add(QStringLiteral("&All"), -1);
    checkNowMenu_.addSeparator();
    for (std::size_t i = 0; i < entryNames.size(); ++i)
        add(QString::fromStdString(entryNames[i]), static_cast<int>(i));
    checkNow_->setMenu(&checkNowMenu_);
}

void QtDesktop::ShowMessage(const std::string& text)
{
    if (ExitRequested())
        return;
    TMessageForm form;
    form.SetMessage(text);
    form.ShowModal();
}

} // namespace vorlane
