#include "ui/DialogButtons.h"

#include "ui/QtText.h"
#include "ui/gradbtn/GradBtn.h"
#include "ui/gradbtn/GradBtnPresets.h"

namespace vorlane {

TGradBtn* MakeAluminumButton(QWidget* parent, const std::string& caption, const char* fontFamily,
                             const std::string& hint)
{
    GradBtnLook look = PresetLook(TPreset::Aluminum);
    look.FontName = fontFamily;
    auto* button = new TGradBtn(parent);
    button->SetCaption(caption);
    button->SetLook(look);
    if (!hint.empty())
        button->setToolTip(Q(hint));
    return button;
}

} // namespace vorlane
