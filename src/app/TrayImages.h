#pragma once

#include <QIcon>
#include <QImage>

namespace vorlane {

// The tray's pictures, by index: 0 grey envelope (no mail), 1 yellow envelope with a red stamp
// (polling), 2 to 8 the yellow envelope in its waving poses (2 is also the still "mail waiting"
// picture; 8 is never shown), 9 stopwatch (synchronizing), 10 envelope in front of a computer
// (paused). Drawn, not scaled, at every size, so they stay crisp from 16 pixels up.
inline constexpr int kTrayImageCount = 11;

QImage TrayImage(int index, int size, qreal devicePixelRatio = 1.0);
QIcon TrayIcon(int index);

} // namespace vorlane
