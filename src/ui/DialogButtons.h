#pragma once

#include "ui/DialogUnits.h"
#include "ui/gradbtn/GradBtn.h"

#include <QRect>
#include <string>
#include <utility>

class QWidget;

namespace vorlane {

// A gradient button with the Aluminum look that every button of the program's windows carries,
// taken as its own look (presets take effect only while designing), in a bold black font of the
// given family, as much larger than the desktop's text as 10 points are than 8.
TGradBtn* MakeAluminumButton(QWidget* parent, const std::string& caption, const char* fontFamily,
                             const std::string& hint = {});

// An Aluminum button at its place (in pixels: DialogUnits turns design pixels into these), whose
// click runs the receiver's handler.
template <typename Receiver>
TGradBtn* AddAluminumButton(QWidget* parent, const QRect& geometry, Receiver* receiver,
                            void (Receiver::*onClick)(), const std::string& caption,
                            const char* fontFamily, const std::string& hint = {})
{
    TGradBtn* button = MakeAluminumButton(parent, caption, fontFamily, hint);
    button->setGeometry(geometry);
    QObject::connect(button, &TGradBtn::clicked, receiver, onClick);
    return button;
}

// The OK and Cancel buttons of a dialog that keeps the user's changes on OK: 75 x 22 design
// pixels at the given left edges and top, with the hints "Save changes and exit" and "Lose changes
// and exit", wired to the dialog's OKGradBtnClick and CancelGradBtnClick. OK first.
template <typename Dialog>
std::pair<TGradBtn*, TGradBtn*> AddOkCancelButtons(Dialog* dialog, int okLeft, int cancelLeft,
                                                   int top)
{
    const DialogUnits units;
    return {AddAluminumButton(dialog, units.Rect(okLeft, top, 75, 22), dialog,
                              &Dialog::OKGradBtnClick, "OK", "Verdana", "Save changes and exit"),
            AddAluminumButton(dialog, units.Rect(cancelLeft, top, 75, 22), dialog,
                              &Dialog::CancelGradBtnClick, "Cancel", "Verdana",
                              "Lose changes and exit")};
}

} // namespace vorlane
