// The gradient button: one sheet per gradient style with every text style and shade type in
// rows and the states at rest, pressed, focused and disabled in columns; and the Aluminum look
// of the program's dialogs in each state.
#include "Gallery.h"
#include "ui/DialogButtons.h"
#include "ui/gradbtn/GradBtn.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <functional>
#include <iterator>
#include <memory>

namespace vorlane::gallery {

namespace {

enum State
{
    Rest,
    Pressed,
    Focused,
    Disabled,
};

constexpr const char* kStateNames[] = {"at rest", "pressed", "focused", "disabled"};
constexpr const char* kStyleNames[] = {"gsHorizontal", "gsVertical",   "gsElliptic",
                                       "gsRectangle",  "gsVertCenter", "gsHorizCenter"};
constexpr const char* kTextNames[] = {"tsNormal", "tsRaised", "tsInset"};
constexpr const char* kShadeNames[] = {"stLight", "stHeavy"};

QImage Render(TGradBtn& button, State state)
{
    switch (state) {
    case Rest:
        break;
    case Pressed:
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
        break;
    case Focused:
        GiveFocus(button);
        break;
    case Disabled:
        button.setEnabled(false);
        break;
    }
    QImage image = Grab(button);
    if (state == Pressed)
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    return image;
}

// A grid of buttons with row and column labels on a plain window background.
QImage Sheet(const QString& title, const std::vector<QString>& rowNames,
             const std::function<QImage(int row, State state)>& cell)
{
    constexpr int labelWidth = 150;
    constexpr int cellWidth = 95;
    constexpr int cellHeight = 40;
    constexpr int top = 50;
    QImage sheet(labelWidth + 4 * cellWidth, top + static_cast<int>(rowNames.size()) * cellHeight,
                 QImage::Format_RGB32);
    sheet.fill(QColor(0xEF, 0xEF, 0xEF));
    QPainter painter(&sheet);
    painter.setPen(Qt::black);
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(8, 4, sheet.width() - 16, 20), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setFont(QFont());
    for (int state = Rest; state <= Disabled; ++state)
        painter.drawText(QRect(labelWidth + state * cellWidth, 26, cellWidth, 20), Qt::AlignCenter,
                         kStateNames[state]);
    for (int row = 0; row < static_cast<int>(rowNames.size()); ++row) {
        const int y = top + row * cellHeight;
        painter.drawText(QRect(8, y, labelWidth - 8, cellHeight - 8),
                         Qt::AlignLeft | Qt::AlignVCenter, rowNames[row]);
        for (int state = Rest; state <= Disabled; ++state) {
            const QImage image = cell(row, static_cast<State>(state));
            painter.drawImage(labelWidth + state * cellWidth + (cellWidth - image.width()) / 2, y,
                              image);
        }
    }
    return sheet;
}

} // namespace

void AddGradBtnShots(Shots& shots)
{
    for (int style = 0; style < static_cast<int>(std::size(kStyleNames)); ++style) {
        std::vector<QString> rows;
        for (const char* text : kTextNames)
            for (const char* shade : kShadeNames)
                rows.push_back(QString("%1, %2").arg(text, shade));
        const QImage sheet =
            Sheet(QString("TGradBtn %1").arg(kStyleNames[style]), rows, [&](int row, State state) {
                TGradBtn button;
                button.SetCaption("Button");
                button.SetGradientStyle(static_cast<TGradientStyle>(style));
                button.SetTextStyle(static_cast<TTextStyle>(row / 2));
                button.SetTextShadeType(static_cast<TShadeType>(row % 2));
                return Render(button, state);
            });
        shots.push_back({QString("GradBtn-%1").arg(kStyleNames[style]), sheet});
    }

    const struct
    {
        const char* use;
        const char* caption;
        int height;
        const char* font;
    } aluminum[] = {
        {"message window, OK", "OK", 25, "Verdana"},
        {"about box, OK", "OK", 25, "Times New Roman"},
        {"settings, OK", "OK", 22, "Verdana"},
        {"settings, Cancel", "Cancel", 22, "Verdana"},
    };
    std::vector<QString> rows;
    for (const auto& a : aluminum)
        rows.push_back(a.use);
    shots.push_back(
        {"GradBtn-Aluminum",
         Sheet("TGradBtn, the program's Aluminum look", rows, [&](int row, State state) {
             // As the windows make it.
             const std::unique_ptr<TGradBtn> button(
                 MakeAluminumButton(nullptr, aluminum[row].caption, aluminum[row].font));
             button->resize(75, aluminum[row].height);
             return Render(*button, state);
         })});
}

} // namespace vorlane::gallery
