#pragma once

#include "ui/gradbtn/GradBtnTypes.h"

#include <vector>

namespace vorlane {

// One drawing of a button's caption: which colour it takes and where its top-left corner goes.
struct CaptionLayer
{
    enum Kind
    {
        Highlight,
        Shadow,
        Face,
    };
    Kind kind = Face;
    int x = 0;
    int y = 0;

    bool operator==(const CaptionLayer&) const = default;
};

// The layers of a caption measured textWidth x textHeight on a width x height button, in drawing
// order, the face last. The caption is centred (division truncating toward zero); a pressed
// button moves every layer one pixel right and down.
std::vector<CaptionLayer> CaptionLayers(TTextStyle textStyle, TShadeType shadeType, bool pressed,
                                        int width, int height, int textWidth, int textHeight);

} // namespace vorlane
