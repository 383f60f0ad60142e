#include "app/PopupMenuState.h"

namespace vorlane {

const char* MenuCaption(MenuCommand command)
{
    switch (command) {
    case MenuCommand::About:
        return "&About";
    case MenuCommand::Settings:
        return "&Settings";
    case MenuCommand::Checknow:
        return "Check &now";
    case MenuCommand::SynchronizeTime:
        return "Synchronize &time";
    case MenuCommand::StartMailClient:
        return "Start &Mail client";
    case MenuCommand::StopWaving:
        return "Stop &Waving";
    case MenuCommand::Exit:
        return "E&xit";
    }
    return "";
}

void SelectDefaultItem(PopupMenuState& menu, int iconClickAction)
{
    const auto makeDefault = [&menu](MenuCommand command) {
        for (auto& item : menu.items)
            item.isDefault = false;
        menu[command].isDefault = true;
    };
    switch (static_cast<DoubleClickAction>(iconClickAction)) {
    case DoubleClickAction::CheckMail:
        if (menu.HasCheckNowSubmenu())
            menu.allIsDefault = true; // the submenu's own level only
        else
            makeDefault(MenuCommand::Checknow);
        break;
    case DoubleClickAction::SynchronizeTime:
        makeDefault(MenuCommand::SynchronizeTime);
        break;
    case DoubleClickAction::StartMailClient:
    case DoubleClickAction::StartClientStopWaving:
        makeDefault(MenuCommand::StartMailClient);
        break;
    case DoubleClickAction::StopWaving:
        makeDefault(MenuCommand::StopWaving);
        break;
    default:
        for (auto& item : menu.items)
            item.isDefault = false;
        break;
    }
}

} // namespace vorlane
