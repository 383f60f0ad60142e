#include "ui/DefaultButton.h"

#include "ui/gradbtn/GradBtn.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

namespace vorlane {

namespace {

class DefaultButtonFilter : public QObject
{
public:
    DefaultButtonFilter(QDialog& dialog, TGradBtn& button) : QObject(&dialog), button_(&button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (button_ == nullptr || !button_->isEnabled() || !button_->isVisible() ||
            qobject_cast<TGradBtn*>(QApplication::focusWidget()) != nullptr)
            return false;
        (void)watched;
        button_->Click();
        return true;
    }

private:
    QPointer<TGradBtn> button_;
};

} // namespace

void MakeDefaultButton(QDialog& dialog, TGradBtn& button)
{
    // Enter that no control takes reaches the dialog itself.
    dialog.installEventFilter(new DefaultButtonFilter(dialog, button));
}

} // namespace vorlane
