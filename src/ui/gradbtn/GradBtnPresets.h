#pragma once

#include "ui/gradbtn/GradBtnTypes.h"
#include "ui/gradbtn/WinColor.h"

#include <string>

namespace vorlane {

// Everything a preset gives a gradient button.
struct GradBtnLook
{
    TColor BeginColor = clNavy;
    TColor EndColor = clAqua;
    TGradientStyle GradientStyle = TGradientStyle::gsVertCenter;
    TTextStyle TextStyle = TTextStyle::tsRaised;
    TShadeType TextShadeType = TShadeType::stLight;
    TColor TxtHiliteClr = clBtnHighlight;
    TColor TxtShadowClr = clBtnShadow;
    TColor BtnHiliteClr = clBtnHighlight;
    TColor BtnShadowClr = clBtnShadow;
    std::string FontName = "MS Sans Serif";
    int FontPointSize = 8;
    TColor FontColor = clBlack;
    bool FontBold = false;
};

GradBtnLook PresetLook(TPreset preset);

} // namespace vorlane
