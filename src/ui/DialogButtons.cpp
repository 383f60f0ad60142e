#include "ui/DialogButtons.h"

#include "ui/DialogUnits.h"
#include "ui/QtText.h"
#include "ui/gradbtn/GradBtn.h"
#include "ui/gradbtn/GradBtnPresets.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

TGradBtn* MakeAluminumButton(QWidget* parent, const std::string& caption, const char* fontFamily,
                             const std::string& hint)
{
    GradBtnLook look = PresetLook(TPreset::Aluminum);
    look.FontName = fontFamily;
    // The design's bold 10 points beside its 8-point text: larger with the desktop's text.
    look.FontPointSize =
        std::max(10, static_cast<int>(std::lround(ScaledApplicationFont(10).pointSizeF())));
    auto* button = new TGradBtn(parent);
    button->SetCaption(caption);
    button->SetLook(look);
    if (!hint.empty())
        button->setToolTip(Q(hint));
    return button;
}

} // namespace vorlane
