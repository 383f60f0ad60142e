#pragma once

#include "mail/MailMessage.h"

#include <QDialog>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QListWidget;
class QScrollBar;

namespace vorlane {

class TGradBtn;

// The program's message window: an icon, a word-wrapped message and an OK button, optionally
// with a browsable list of the senders and subjects of waiting mail. It stays on top, opens in
// the middle of the screen, and is created for one showing, either modally (ShowModal returns
// when it closes) or without waiting (the caller watches ModalResult and hides it).
class TMessageForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMessageForm(QWidget* parent = nullptr);
    ~TMessageForm() override;

    void SetMessage(const std::string& text);

    // Adds the header area: the window grows by 60 pixels and opens on the last record. The
    // window only refers to the list, which must outlive the showing; it never changes it. An
    // empty list adds nothing, and a second call changes nothing.
    void ShowHeaders(const MailMessageList& headers);

    const MailMessageList* HeaderList() const { return headerList_; }
    // How the window was closed: Accepted by OK, Rejected by the close box of a modal showing;
    // nothing while it has not been closed (nor after a showing without waiting was hidden).
    std::optional<DialogCode> ModalResult() const { return modalResult_; }

    // Shows the window and returns when it closes: Accepted after OK, Rejected after the close
    // box.
    int ShowModal();
    int exec() override;

    QLabel* IconImage() const { return iconImage_; }
    QLabel* MessageLabel() const { return messageLabel_; }
    QFrame* FirstBevel() const { return firstBevel_; }
    QLabel* CounterLabel() const { return counterLabel_; }
    TGradBtn* OKGradBtn() const { return okGradBtn_; }
    QListWidget* HeadersListbox() const { return headersListbox_; }
    QScrollBar* HeadersScrollBar() const { return headersScrollBar_; }

public slots:
    // Shows the counter and the two lines of the record at the scroll position.
    void HeadersScrollBarChange();
    void OKGradBtnClick();
    // The close box and Escape: a modal window closes as Rejected; one shown without waiting
    // is only hidden and its result stays as it was, so its caller keeps waiting.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Places every part from the font, the message's length and whether headers show.
    void Relayout();
    void FormHide();

    QLabel* iconImage_;
    QLabel* messageLabel_;
    QFrame* firstBevel_;
    QLabel* counterLabel_;
    TGradBtn* okGradBtn_;
    QListWidget* headersListbox_;
    QScrollBar* headersScrollBar_;

    const MailMessageList* headerList_ = nullptr;
    std::optional<DialogCode> modalResult_;
    bool showingModal_ = false;
    bool centred_ = false;
};

} // namespace vorlane
