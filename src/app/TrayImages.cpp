#include "app/TrayImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace vorlane {

namespace {

const QColor kOutline(0x30, 0x30, 0x30);

// Tilt of the envelope in each waving pose (2 to 8): one wave swings right, then left.
constexpr std::array<qreal, 7> kWaveAngles = {0, 8, 16, 10, -2, -12, -18};

// Everything is drawn on a 16 x 16 grid; the painter scales it to the pixel size.
void DrawEnvelope(QPainter& p, const QColor& paper, const QColor& flap)
{
    const QRectF body(1.5, 4.5, 13, 8);
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(paper);
    p.drawRect(body);
    QPainterPath fold;
    fold.moveTo(body.topLeft());
    fold.lineTo(8.0, 9.5);
    fold.lineTo(body.topRight());
    p.setBrush(flap);
    p.drawPath(fold);
}

void DrawStamp(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD0, 0x10, 0x10));
    p.drawRect(QRectF(10.5, 5.5, 3, 3));
}

void DrawStopwatch(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(QColor(0xE0, 0xE0, 0xE0));
    p.drawRect(QRectF(6.5, 0.5, 3, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(2.5, 3.5, 11, 11));
    p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 9), QPointF(8, 5.5));
    p.drawLine(QPointF(8, 9), QPointF(10.5, 10.5));
}

void DrawComputer(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(QColor(0xB8, 0xB8, 0xC8));
    p.drawRect(QRectF(1.5, 1.5, 13, 10));
    p.setBrush(QColor(0x30, 0x50, 0x90));
    p.drawRect(QRectF(3.5, 3.5, 9, 6));
    p.setBrush(QColor(0xB8, 0xB8, 0xC8));
    p.drawRect(QRectF(5.5, 12.5, 5, 2));
    // A small envelope in front of the screen.
    p.save();
    p.translate(5, 6.5);
    p.scale(0.65, 0.65);
    DrawEnvelope(p, QColor(0xFF, 0xE0, 0x40), QColor(0xF0, 0xC8, 0x20));
    p.restore();
}

} // namespace

QImage TrayImage(int index, int size, qreal devicePixelRatio)
{
    const int pixels = qRound(size * devicePixelRatio);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, pixels > 16);
    p.scale(pixels / 16.0, pixels / 16.0);

    const QColor yellow(0xFF, 0xE0, 0x40);
    const QColor yellowFlap(0xF0, 0xC8, 0x20);
    if (index == 0) {
        DrawEnvelope(p, QColor(0xC8, 0xC8, 0xC8), QColor(0xA8, 0xA8, 0xA8));
    } else if (index == 1) {
        DrawEnvelope(p, yellow, yellowFlap);
        DrawStamp(p);
    } else if (index >= 2 && index <= 8) {
        p.translate(8, 8.5);
        p.rotate(kWaveAngles[static_cast<std::size_t>(index - 2)]);
        p.translate(-8, -8.5);
        DrawEnvelope(p, yellow, yellowFlap);
    } else if (index == 9) {
        DrawStopwatch(p);
    } else if (index == 10) {
        DrawComputer(p);
    }
    p.end();
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QIcon TrayIcon(int index)
{
    QIcon icon;
    // The tray asks for the size it needs in device pixels, high-density screens included.
    for (const int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(TrayImage(index, size)));
    return icon;
}

} // namespace vorlane
