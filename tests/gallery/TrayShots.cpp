// The eleven tray pictures side by side, at 16 and at 32 pixels, on a light and a dark panel.
#include "Gallery.h"
#include "app/TrayImages.h"

#include <QPainter>

namespace vorlane::gallery {

void AddTrayShots(Shots& shots)
{
    for (const int size : {16, 32}) {
        const int cell = size + 8;
        QImage sheet(cell * kTrayImageCount, cell * 2, QImage::Format_ARGB32);
        QPainter painter(&sheet);
        painter.fillRect(0, 0, sheet.width(), cell, QColor(0xE8, 0xE8, 0xE8));
        painter.fillRect(0, cell, sheet.width(), cell, QColor(0x30, 0x30, 0x38));
        for (int index = 0; index < kTrayImageCount; ++index)
            for (const int row : {0, 1})
                painter.drawImage(index * cell + 4, row * cell + 4, TrayImage(index, size));
        painter.end();
        shots.push_back({QStringLiteral("TrayImages-%1").arg(size), sheet});
    }
}

} // namespace vorlane::gallery
