#pragma once

#include <array>
#include <string>
#include <vector>

namespace vorlane {

// The tray menu's commands, top to bottom (separators aside).
enum class MenuCommand
{
    About,
    Settings,
    Checknow,
    SynchronizeTime,
    StartMailClient,
    StopWaving,
    Exit,
};
inline constexpr std::size_t kMenuCommandCount = 7;

struct MenuItemState
{
    bool enabled = true;
    bool checked = false;
    bool isDefault = false; // drawn in bold: what the double click does
    bool operator==(const MenuItemState&) const = default;
};

// What the tray menu shows. The controller decides it; the desktop draws it.
struct PopupMenuState
{
    std::array<MenuItemState, kMenuCommandCount> items{};
    // "Check now" carries a submenu ("&All", a separator, one item per entry) when there are
    // two or more entries; its items share one enabled state.
    std::vector<std::string> checkNowEntries;
    bool checkNowSubmenuEnabled = true;
    bool allIsDefault = false;
    // At least one mailbox is set up (what a desktop without tray tells depends on it).
    bool mailboxesSetUp = false;

    MenuItemState& operator[](MenuCommand command)
    {
        return items[static_cast<std::size_t>(command)];
    }
    const MenuItemState& operator[](MenuCommand command) const
    {
        return items[static_cast<std::size_t>(command)];
    }
    bool HasCheckNowSubmenu() const { return !checkNowEntries.empty(); }
};

// The menu's captions, as the user sees them ("&" marks the access key).
const char* MenuCaption(MenuCommand command);

// What a double click on the tray icon does: the stored IconClickAction. Any other stored
// number does nothing.
enum class DoubleClickAction
{
    CheckMail = 0,
    SynchronizeTime = 1,
    StartMailClient = 2,
    StartClientStopWaving = 3,
    StopWaving = 4,
    Nothing = 5,
};

// Marks the item that the double click performs as the default; any other value clears the
// mark of every top-level item. Only the marks of the same menu level change.
void SelectDefaultItem(PopupMenuState& menu, int iconClickAction);

} // namespace vorlane
