#include "ui/UpDown.h"

#include "ui/QtText.h"
#include "util/WholeNumber.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace vorlane {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (auto* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
    setFocusPolicy(Qt::NoFocus);
    resize(16, 20);
}

void UpDown::SetAssociate(QLineEdit* edit)
{
    associate_ = edit;
    edit->installEventFilter(this);
}

void UpDown::SetRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    const int position = Position();
    if (position < min_ || position > max_)
        SetPosition(position);
}

void UpDown::SetPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    if (associate_ != nullptr)
        associate_->setText(QString::number(position_));
}

int UpDown::Position() const
{
    return AssociateNumber().value_or(position_);
}

void UpDown::StepBy(int steps)
{
    SetPosition(Position() + steps);
}

std::optional<int> UpDown::AssociateNumber() const
{
    if (associate_ == nullptr)
        return std::nullopt;
    const auto number = ParseWholeNumber(S(associate_->text()));
    if (number && *number >= min_ && *number <= max_)
        return *number;
    return std::nullopt;
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
    QWidget::resizeEvent(event);
}

} // namespace vorlane
