#include "ui/DialUpList.h"

#include "ui/QtText.h"
#include "ui/SettingsRules.h"

#include <QListWidget>

namespace vorlane {

DialUpList::DialUpList(QWidget* parent) : view_(new QListWidget(parent)) {}

void DialUpList::Fill(const std::vector<std::string>& names)
{
    view_->clear();
    for (const auto& name : names) {
        auto* item = new QListWidgetItem(Q(name), view_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (!names.empty())
        view_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

std::vector<std::string> DialUpList::Names() const
{
    std::vector<std::string> names;
    for (int row = 0; row < view_->count(); ++row)
        names.push_back(S(view_->item(row)->text()));
    return names;
}

void DialUpList::Select(const std::string& rasConnection)
{
    const auto ticks = RasConnectionTicks(rasConnection, Names());
    for (int row = 0; row < view_->count(); ++row)
        view_->item(row)->setCheckState(ticks[static_cast<std::size_t>(row)] ? Qt::Checked
                                                                             : Qt::Unchecked);
}

std::string DialUpList::Selected() const
{
    std::vector<bool> ticked;
    for (int row = 0; row < view_->count(); ++row)
        ticked.push_back(view_->item(row)->checkState() == Qt::Checked);
    return SelectedRasConnections(Names(), ticked);
}

} // namespace vorlane
