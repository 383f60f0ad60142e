#pragma once

#include <QImage>
#include <QString>
#include <vector>

class QWidget;

namespace vorlane::gallery {

// One picture of the gallery and the file name it is saved under (without ".png").
struct Shot
{
    QString name;
    QImage image;
};

using Shots = std::vector<Shot>;

// Every window of the program adds its pictures here; main saves them all.
void AddGradBtnShots(Shots& shots);
void AddMessageFormShots(Shots& shots);
void AddDialogShots(Shots& shots);
void AddTrayShots(Shots& shots);

// Helpers shared by the pages.
QImage Grab(QWidget& widget);
void GiveFocus(QWidget& widget);

} // namespace vorlane::gallery
