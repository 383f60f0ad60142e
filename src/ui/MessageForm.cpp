#include "ui/MessageForm.h"

#include "ui/DefaultButton.h"
#include "ui/DialogButtons.h"
#include "ui/DialogUnits.h"
#include "ui/FixedDialog.h"
#include "ui/HeaderLines.h"
#include "ui/ProgramIcon.h"
#include "ui/QtText.h"
#include "ui/gradbtn/GradBtn.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

namespace vorlane {

namespace {

constexpr int kClientWidth = 336;
constexpr int kClientHeight = 93;
constexpr int kHeaderAreaHeight = 60;
constexpr int kHeaderLineHeight = 13;

} // namespace

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, kFixedDialogFlags | Qt::WindowStaysOnTopHint)
{
    SetUpFixedDialog(*this, "Vorlane: Message", kClientWidth, kClientHeight);

    const DialogUnits units;
    iconImage_ = new QLabel(this);
    iconImage_->setGeometry(QRect(units.Point(8, 8), QSize(32, 32)));
    iconImage_->setPixmap(QPixmap::fromImage(ProgramIconImage(32)));

    messageLabel_ = new QLabel(this);
    messageLabel_->setWordWrap(true);
    messageLabel_->setTextFormat(Qt::PlainText);
    messageLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // A separator line along the top of its area.
    firstBevel_ = new QFrame(this);
    firstBevel_->setFrameShape(QFrame::HLine);
    firstBevel_->setFrameShadow(QFrame::Sunken);

    counterLabel_ = new QLabel(this);
    counterLabel_->setTextFormat(Qt::PlainText);

    okGradBtn_ = AddAluminumButton(this, {}, this, &TMessageForm::OKGradBtnClick, "OK", "Verdana");
    MakeDefaultButton(*this, *okGradBtn_);

    // Shows the lines and takes no input.
    headersListbox_ = new QListWidget(this);
    headersListbox_->setEnabled(false);
    headersListbox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headersListbox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headersListbox_->setUniformItemSizes(true);
    headersListbox_->hide();

    headersScrollBar_ = new QScrollBar(Qt::Vertical, this);
    headersScrollBar_->setRange(0, 0);
    headersScrollBar_->setSingleStep(1);
    headersScrollBar_->setPageStep(1);
    headersScrollBar_->setFocusPolicy(Qt::TabFocus);
    headersScrollBar_->hide();
    connect(headersScrollBar_, &QScrollBar::valueChanged, this,
            &TMessageForm::HeadersScrollBarChange);

    setTabOrder(okGradBtn_, headersListbox_);
    setTabOrder(headersListbox_, headersScrollBar_);
    Relayout();
}

void TMessageForm::Relayout()
{
    // The message wraps in its place and the window grows by what it needs beyond four lines;
    // the header area, when shown, comes between the counter and the OK button.
    const DialogUnits units;
    const QRect message = units.Rect(44, 8, 281, 52);
    const int growth =
        std::max(0, messageLabel_->heightForWidth(message.width()) - message.height());
    const QPoint below(0, growth);
    const int headers = headersListbox_->isVisibleTo(this) ? units.Y(kHeaderAreaHeight) : 0;
    messageLabel_->setGeometry(message.adjusted(0, 0, 0, growth));
    firstBevel_->setGeometry(units.Rect(0, 64, kClientWidth + 1, 5).translated(below));
    firstBevel_->setFrameRect(QRect(0, 0, firstBevel_->width(), 2));
    counterLabel_->move(units.Point(8, 67) + below);
    counterLabel_->adjustSize();
    headersListbox_->setGeometry(units.Rect(8, 82, 301, 43).translated(below));
    headersScrollBar_->setGeometry(units.Rect(311, 82, 16, 43).translated(below));
    okGradBtn_->setGeometry(units.Rect(132, 68, 75, 25).translated(0, growth + headers));
    setFixedSize(units.X(kClientWidth), units.Y(kClientHeight) + growth + headers);
}

TMessageForm::~TMessageForm() = default;

void TMessageForm::SetMessage(const std::string& text)
{
    messageLabel_->setText(Q(text));
    Relayout();
}

void TMessageForm::ShowHeaders(const MailMessageList& headers)
{
    // A scroll bar cannot range over no records, and the callers always have some.
    if (headers.empty() || headersListbox_->isVisibleTo(this))
        return;
    headersListbox_->show();
    headersScrollBar_->show();
    Relayout();

    const int maximum = static_cast<int>(headers.size()) - 1;
    {
        const QSignalBlocker quiet(headersScrollBar_);
        headersScrollBar_->setValue(0);
        headersScrollBar_->setMaximum(maximum);
        headersScrollBar_->setEnabled(maximum > 0);
        headerList_ = &headers;
        headersScrollBar_->setValue(maximum);
    }
    HeadersScrollBarChange();
}

void TMessageForm::HeadersScrollBarChange()
{
    const int position = headersScrollBar_->value();
    counterLabel_->setText(Q(CounterText(position, headersScrollBar_->maximum())));
    counterLabel_->adjustSize();
    headersListbox_->clear();
    const HeaderLines lines = HeaderLinesAt(headerList_, position);
    for (const std::string* line : {&lines.From, &lines.Subject}) {
        auto* item = new QListWidgetItem(Q(*line), headersListbox_);
        item->setSizeHint(
            QSize(headersListbox_->viewport()->width(), DialogUnits().Y(kHeaderLineHeight)));
    }
}

void TMessageForm::OKGradBtnClick()
{
    modalResult_ = Accepted;
    if (showingModal_)
        done(Accepted);
}

int TMessageForm::ShowModal()
{
    return exec();
}

int TMessageForm::exec()
{
    modalResult_.reset();
    showingModal_ = true;
    const int result = QDialog::exec();
    showingModal_ = false;
    return result;
}

void TMessageForm::reject()
{
    if (showingModal_) {
        modalResult_ = Rejected;
        done(Rejected);
    } else {
        hide();
    }
}

void TMessageForm::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(*this);
    }
    okGradBtn_->SetFocus();
    QDialog::showEvent(event);
}

void TMessageForm::hideEvent(QHideEvent* event)
{
    FormHide();
    QDialog::hideEvent(event);
}

void TMessageForm::FormHide()
{
    headerList_ = nullptr;
}

} // namespace vorlane
