#include "ui/MailServerList.h"

#include "ui/ProgramIcon.h"
#include "ui/QtText.h"
#include "ui/SettingsRules.h"

#include <QHeaderView>
#include <QPixmap>
#include <QTreeWidget>

namespace vorlane {

namespace {

// Sub-items of a row, after the caption; the password has no column.
constexpr int kUserNameColumn = 1;
constexpr int kServerColumn = 2;
constexpr int kIntervalColumn = 3;
constexpr int kSecurityColumn = 4;
constexpr int kPasswordRole = Qt::UserRole;
constexpr int kSecurityRole = Qt::UserRole + 1;
constexpr int kPortRole = Qt::UserRole + 2; // 0: the usual port of the security
// Where the password is kept: the certificate the user trusted, and the key of a password that
// stays unread in the keyring (no such key: the password role holds it).
constexpr int kCertificateRole = Qt::UserRole + 3;
constexpr int kKeptUserRole = Qt::UserRole + 4;
constexpr int kKeptHostRole = Qt::UserRole + 5;
constexpr int kProtocolRole = Qt::UserRole + 6;
constexpr int kFolderRole = Qt::UserRole + 7;

// The platform's locale-aware order. The C locale has no collation of its own (its code-point
// order puts every capital before every small letter), so it falls back to English.
QCollator LocaleCollator()
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QCollator(QLocale(QLocale::English, QLocale::UnitedStates));
    return QCollator(locale);
}

} // namespace

MailServerList::MailServerList(QWidget* parent)
    : view_(new QTreeWidget(parent)), collator_(LocaleCollator())
{
    view_->setColumnCount(5);
    view_->setHeaderLabels({"Server Name", "Username", "POP3 Server", "Interval", "Security"});
    for (const auto& [column, width] : {std::pair{0, 100},
                                        {kUserNameColumn, 75},
                                        {kServerColumn, 120},
                                        {kIntervalColumn, 60},
                                        {kSecurityColumn, 60}})
        view_->setColumnWidth(column, width);
    view_->setToolTip("Mail servers to poll for new mail");
    view_->setRootIsDecorated(false);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setIconSize(QSize(16, 16));
    view_->header()->setSectionsClickable(false);
    view_->header()->setSectionsMovable(false);
}

QTreeWidgetItem* MailServerList::Add(const MailServerRow& row)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, Q(row.Name));
    Update(item, row);
    item->setIcon(0, QPixmap::fromImage(ProgramIconImage(16)));
    int at = 0;
    const int count = view_->topLevelItemCount();
    while (at < count && collator_.compare(view_->topLevelItem(at)->text(0), item->text(0)) <= 0)
        ++at;
    view_->insertTopLevelItem(at, item);
    return item;
}

void MailServerList::Update(QTreeWidgetItem* item, const MailServerRow& row)
{
    item->setText(kUserNameColumn, Q(row.UserName));
    item->setText(kServerColumn, Q(row.Server));
    item->setText(kIntervalColumn, Q(row.Interval));
    // Bytes as they are: a password need not be valid text.
    item->setData(0, kPasswordRole, QByteArray::fromStdString(row.Password));
    item->setData(0, kSecurityRole, row.Security);
    item->setData(0, kPortRole, row.Port);
    item->setData(0, kCertificateRole, Q(row.CertificateSha256));
    item->setData(0, kKeptUserRole,
                  row.KeptUnder ? QVariant(Q(row.KeptUnder->UserName)) : QVariant());
    item->setData(0, kKeptHostRole, row.KeptUnder ? QVariant(Q(row.KeptUnder->Host)) : QVariant());
    item->setData(0, kProtocolRole, static_cast<int>(row.Protocol));
    item->setData(0, kFolderRole, Q(row.Folder));
    // A POP3 row looks as it always did; an IMAP row says so beside its security.
    const QString security = row.Protocol == MailProtocol::Imap
                                 ? QString("IMAP %1").arg(SecurityColumnText(row.Security))
                                 : QString(SecurityColumnText(row.Security));
    item->setText(kSecurityColumn, security);
    item->setToolTip(
        kSecurityColumn,
        QString("%1, port %2").arg(security).arg(PortShown(row.Security, row.Port, row.Protocol)));
}

MailServerRow MailServerList::RowOf(const QTreeWidgetItem* item)
{
    MailServerRow row{S(item->text(0)),
                      S(item->text(kUserNameColumn)),
                      S(item->text(kServerColumn)),
                      S(item->text(kIntervalColumn)),
                      item->data(0, kPasswordRole).toByteArray().toStdString(),
                      item->data(0, kSecurityRole).toInt(),
                      item->data(0, kPortRole).toInt()};
    row.CertificateSha256 = S(item->data(0, kCertificateRole).toString());
    row.Protocol = static_cast<MailProtocol>(item->data(0, kProtocolRole).toInt());
    row.Folder = S(item->data(0, kFolderRole).toString());
    if (item->data(0, kKeptUserRole).isValid())
        row.KeptUnder = PasswordKey{S(item->data(0, kKeptUserRole).toString()),
                                    S(item->data(0, kKeptHostRole).toString())};
    return row;
}

std::vector<MailServerRow> MailServerList::Rows() const
{
    std::vector<MailServerRow> rows;
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        rows.push_back(RowOf(view_->topLevelItem(i)));
    return rows;
}

std::vector<std::string> MailServerList::Names() const
{
    std::vector<std::string> names;
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        names.push_back(S(view_->topLevelItem(i)->text(0)));
    return names;
}

QTreeWidgetItem* MailServerList::FirstSelected() const
{
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        if (view_->topLevelItem(i)->isSelected())
            return view_->topLevelItem(i);
    return nullptr;
}

void MailServerList::RemoveSelected()
{
    for (int i = view_->topLevelItemCount() - 1; i >= 0; --i)
        if (view_->topLevelItem(i)->isSelected())
            delete view_->takeTopLevelItem(i);
}

bool MailServerList::AnySelected() const
{
    return !view_->selectedItems().isEmpty();
}

} // namespace vorlane
