#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace vorlane {

namespace {

QImage Envelope32()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline(0x00, 0x00, 0x80);
    const QRectF body(2.5, 7.5, 27, 18);

    // A soft drop shadow, then the paper.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawRoundedRect(body.translated(1.5, 1.5), 1.5, 1.5);
    painter.setBrush(QColor(0xFF, 0xFF, 0xE8));
    painter.setPen(QPen(outline, 1.0));
    painter.drawRoundedRect(body, 1.5, 1.5);

    // The lower folds, then the closed flap over them.
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.0));
    painter.drawLine(QPointF(body.left(), body.bottom()), QPointF(13.0, 16.5));
    painter.drawLine(QPointF(body.right(), body.bottom()), QPointF(19.0, 16.5));
    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(16.0, 18.5);
    flap.lineTo(body.topRight());
    painter.setBrush(QColor(0xF0, 0xE6, 0xB4));
    painter.setPen(QPen(outline, 1.0));
    painter.drawPath(flap);

    // The seal.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC0, 0x00, 0x00));
    painter.drawEllipse(QPointF(16.0, 17.0), 2.5, 2.5);
    return image;
}

} // namespace

QImage ProgramIconImage(int size)
{
    const QImage image = Envelope32();
    if (size == 32)
        return image;
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace vorlane
