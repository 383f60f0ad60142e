#include "ui/EntryNotes.h"

#include "mail/MailServer.h"
#include "util/LoopbackHost.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vorlane {

const char* const EntryNotes::kPlainTextWarning =
    "Without security the password crosses the network as plain text.";
const char* const EntryNotes::kScrambledOnlyNote =
    "No keyring answers: the password is kept only scrambled in a file.";

EntryNotes::EntryNotes(int width, QWidget* parent)
    : QWidget(parent), plainText_(new QLabel(kPlainTextWarning, this)),
      scrambled_(new QLabel(kScrambledOnlyNote, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 6);
    layout->setSpacing(2);
    for (auto* label : {plainText_, scrambled_}) {
        label->setWordWrap(true);
        label->setVisible(false);
        layout->addWidget(label);
    }
    setFixedWidth(width);
    Arrange();
}

bool EntryNotes::WarnsOfPlainText(int security, std::string_view host)
{
    return security == kSecurityNone && !host.empty() && !IsLoopbackHost(host);
}

void EntryNotes::ShowPlainTextWarning(int security, const std::string& host)
{
    plainText_->setVisible(WarnsOfPlainText(security, host));
    Arrange();
}

void EntryNotes::SetScrambledOnly(bool scrambledOnly)
{
    scrambled_->setVisible(scrambledOnly);
    Arrange();
}

int EntryNotes::NeededHeight() const
{
    return plainText_->isVisibleTo(this) || scrambled_->isVisibleTo(this) ? height() : 0;
}

void EntryNotes::Arrange()
{
    layout()->activate();
    resize(width(), heightForWidth(width()) > 0 ? heightForWidth(width()) : sizeHint().height());
    // Without a note, nothing of it may stand below the dialog's edge.
    setVisible(NeededHeight() > 0);
    emit changed();
}

} // namespace vorlane
