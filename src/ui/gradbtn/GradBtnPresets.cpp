#include "ui/gradbtn/GradBtnPresets.h"

namespace vorlane {

GradBtnLook PresetLook(TPreset preset)
{
    switch (preset) {
    case TPreset::None:
        break;
    case TPreset::GoldCoast:
        return {0x00FFFF,
                0x008080,
                TGradientStyle::gsVertical,
                TTextStyle::tsRaised,
                TShadeType::stHeavy,
                0xBFFFFF,
                0x007171,
                0xB3FFFF,
                0x616161,
                "Arial",
                10,
                0x00BBBB,
                true};
    case TPreset::LimeBox:
        return {0x000000,
                0x00FF00,
                TGradientStyle::gsRectangle,
                TTextStyle::tsRaised,
                TShadeType::stLight,
                0xACFFAC,
                0x004000,
                WinColor::BtnHighlight,
                WinColor::BtnShadow,
                "Courier",
                8,
                0x008000,
                false};
    case TPreset::Aluminum:
        return {0xCECECE,
                0x5F5F5F,
                TGradientStyle::gsVertical,
                TTextStyle::tsInset,
                TShadeType::stHeavy,
                WinColor::BtnHighlight,
                WinColor::BtnShadow,
                WinColor::White,
                WinColor::Black,
                "Times New Roman",
                10,
                WinColor::Black,
                true};
    case TPreset::SunRise:
        return {0x00FFFF,
                0x0000FF,
                TGradientStyle::gsHorizontal,
                TTextStyle::tsRaised,
                TShadeType::stHeavy,
                0xCFE7E6,
                0x0058B0,
                WinColor::BtnHighlight,
                WinColor::BtnShadow,
                "MS Sans Serif",
                8,
                0x000040,
                true};
    }
    return {};
}

} // namespace vorlane
