#include "ui/gradbtn/CaptionLayers.h"

namespace vorlane {

std::vector<CaptionLayer> CaptionLayers(TTextStyle textStyle, TShadeType shadeType, bool pressed,
                                        int width, int height, int textWidth, int textHeight)
{
    const int p = pressed ? 1 : 0;
    const int x = (width - textWidth) / 2 + p;
    const int y = (height - textHeight) / 2 + p;
    const bool heavy = shadeType == TShadeType::stHeavy;
    std::vector<CaptionLayer> layers;
    switch (textStyle) {
    case TTextStyle::tsNormal:
        break;
    case TTextStyle::tsRaised:
        layers.push_back({CaptionLayer::Highlight, x - 1, y - 1});
        if (heavy)
            layers.push_back({CaptionLayer::Shadow, x + 1, y + 1});
        break;
    case TTextStyle::tsInset:
        if (heavy)
            layers.push_back({CaptionLayer::Shadow, x - 1, y - 1});
        layers.push_back({CaptionLayer::Highlight, x + 1, y + 1});
        break;
    }
    layers.push_back({CaptionLayer::Face, x, y});
    return layers;
}

} // namespace vorlane
