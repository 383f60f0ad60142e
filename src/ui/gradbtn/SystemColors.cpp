#include "ui/gradbtn/SystemColors.h"

#include <utility>

namespace vorlane {

namespace {

// The Windows system colour numbers that have a counterpart in a Qt palette.
constexpr std::pair<int, QPalette::ColorRole> kRoles[] = {
    {5, QPalette::Base},       // window background
    {8, QPalette::Text},       // window text
    {13, QPalette::Highlight}, // selection
    {14, QPalette::HighlightedText},
    {15, QPalette::Button},     // button face
    {16, QPalette::Dark},       // button shadow
    {18, QPalette::ButtonText}, // button text
    {20, QPalette::Light},      // button highlight
    {21, QPalette::Shadow},     // dark shadow
    {22, QPalette::Midlight},   // light 3-D edge
};

} // namespace

QColor ResolveColor(TColor color, const QPalette& palette)
{
    if (!IsSystemColor(color))
        return QColor(RedOf(color), GreenOf(color), BlueOf(color));
    const int index = static_cast<int>(color & 0xFF);
    for (const auto& [number, role] : kRoles)
        if (number == index)
            return palette.color(QPalette::Active, role);
    return Qt::black;
}

TColor ResolvePlainColor(TColor color, const QPalette& palette)
{
    const QColor resolved = ResolveColor(color, palette);
    return RgbColor(resolved.red(), resolved.green(), resolved.blue());
}

} // namespace vorlane
