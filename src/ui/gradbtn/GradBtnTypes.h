#pragma once

namespace vorlane {

// The looks of a gradient button. Each value keeps the number the Windows program stored for it,
// so the order matters.
enum class TGradientStyle
{
    gsHorizontal,
    gsVertical,
    gsElliptic,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter,
};

enum class TTextStyle
{
    tsNormal,
    tsRaised,
    tsInset,
};

enum class TShadeType
{
    stLight,
    stHeavy,
};

enum class TPreset
{
    None,
    GoldCoast,
    LimeBox,
    Aluminum,
    SunRise,
};

} // namespace vorlane
