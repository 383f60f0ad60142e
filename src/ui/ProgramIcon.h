#pragma once

#include <QImage>

namespace vorlane {

// The program's picture, a closed envelope, size x size pixels (drawn for 32 x 32, the size the
// message window shows; other sizes are scaled from it).
QImage ProgramIconImage(int size = 32);

} // namespace vorlane
