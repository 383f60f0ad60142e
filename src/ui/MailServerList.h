#pragma once

#include "config/SettingsStore.h"

#include <QCollator>
#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace vorlane {

// The settings dialog's list of mail server entries (MailServersListView): a row an entry,
// sorted by name as the user's language sorts, with the password (bytes as they are) and the
// security kept beside the visible columns.
class MailServerList
{
public:
    explicit MailServerList(QWidget* parent);

    QTreeWidget* View() const { return view_; }

    // Inserts the row at its place in the order; returns its item.
    QTreeWidgetItem* Add(const MailServerRow& row);
    // The rows in their displayed order.
    std::vector<MailServerRow> Rows() const;
    std::vector<std::string> Names() const;
    // The top-most selected row, or null.
    QTreeWidgetItem* FirstSelected() const;
    void RemoveSelected();
    bool AnySelected() const;

    static MailServerRow RowOf(const QTreeWidgetItem* item);
    // Shows the row's values in the item; its name stays.
    static void Update(QTreeWidgetItem* item, const MailServerRow& row);

private:
    QTreeWidget* view_;
    QCollator collator_;
};

} // namespace vorlane
