#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace vorlane::test {

// Offscreen windows have no real keyboard focus to move, so a field is told directly that the
// focus came or went, as the toolkit tells it when the user tabs in or out.
inline void FocusIn(QWidget* widget)
{
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &event);
}

inline void FocusOut(QWidget* widget)
{
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &event);
}

// The next widget that the Tab key reaches (enabled or not).
inline const QWidget* NextTabStop(const QWidget* widget)
{
    const QWidget* next = widget->nextInFocusChain();
    while (next != widget && (next->focusPolicy() & Qt::TabFocus) == 0)
        next = next->nextInFocusChain();
    return next;
}

} // namespace vorlane::test
