#pragma once

namespace vorlane {

// The looks of a gradient button; the values are the ones stored by the Windows program.
enum TGradientStyle
{
    gsHorizontal,
    gsVertical,
    gsElliptic,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter,
};

enum TTextStyle
{
    tsNormal,
    tsRaised,
    tsInset,
};

enum TShadeType
{
    stLight,
    stHeavy,
};

enum TPreset
{
    None,
    GoldCoast,
    LimeBox,
    Aluminum,
    SunRise,
};

} // namespace vorlane
