#pragma once

#include "ui/gradbtn/GradBtnTypes.h"
#include "ui/gradbtn/WinColor.h"

#include <string>

namespace vorlane {

// Everything a preset gives a gradient button.
struct GradBtnLook
{
    TColor BeginColor = WinColor::Navy;
    TColor EndColor = WinColor::Aqua;
    TGradientStyle GradientStyle = TGradientStyle::gsVertCenter;
    TTextStyle TextStyle = TTextStyle::tsRaised;
    TShadeType TextShadeType = TShadeType::stLight;
    TColor TxtHiliteClr = WinColor::BtnHighlight;
    TColor TxtShadowClr = WinColor::BtnShadow;
    TColor BtnHiliteClr = WinColor::BtnHighlight;
    TColor BtnShadowClr = WinColor::BtnShadow;
    std::string FontName = "MS Sans Serif";
    int FontPointSize = 8;
    TColor FontColor = WinColor::Black;
    bool FontBold = false;
};

GradBtnLook PresetLook(TPreset preset);

} // namespace vorlane
