#include "ui/LinkLabel.h"

#include <QMouseEvent>

namespace vorlane {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace vorlane
