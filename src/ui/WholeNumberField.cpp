#include "ui/WholeNumberField.h"

#include "ui/QtText.h"
#include "util/WholeNumber.h"

#include <QEvent>
#include <QLineEdit>
#include <string>

namespace vorlane {

WholeNumberField::WholeNumberField(QLineEdit* edit, std::int32_t lastAccepted, Rule entering,
                                   Rule leaving)
    : QObject(edit), edit_(edit), lastAccepted_(lastAccepted), entering_(std::move(entering)),
      leaving_(std::move(leaving))
{
    edit->installEventFilter(this);
}

void WholeNumberField::SetNumber(std::int32_t number)
{
    lastAccepted_ = number;
    edit_->setText(QString::number(number));
}

void WholeNumberField::Enter()
{
    const std::string text = S(edit_->text());
    if (const auto number = entering_(text)) {
        lastAccepted_ = *number;
        if (!ParseWholeNumber(text))
            edit_->setText(QString::number(lastAccepted_));
    }
}

void WholeNumberField::Leave()
{
    const std::string text = S(edit_->text());
    if (const auto number = leaving_(text))
        lastAccepted_ = *number;
    else
        edit_->setText(QString::number(lastAccepted_));
}

bool WholeNumberField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::FocusIn)
            emit entered();
        else if (event->type() == QEvent::FocusOut)
            emit left();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vorlane
