#include "ui/DialogButtons.h"

#include "ui/QtText.h"
#include "ui/gradbtn/GradBtn.h"
#include "ui/gradbtn/GradBtnPresets.h"

namespace vorlane {

TGradBtn* MakeAluminumButton(QWidget* parent, const std::string& caption, const char* fontFamily,
                             const std::string& hint)
{
    const GradBtnLook look = PresetLook(TPreset::Aluminum);
    auto* button = new TGradBtn(parent);
    button->SetCaption(caption);
    QFont font(fontFamily, look.FontPointSize);
    font.setBold(look.FontBold);
    button->setFont(font);
    button->SetFontColor(look.FontColor);
    button->SetBeginColor(look.BeginColor);
    button->SetEndColor(look.EndColor);
    button->SetGradientStyle(look.GradientStyle);
    button->SetTextStyle(look.TextStyle);
    button->SetTextShadeType(look.TextShadeType);
    button->SetTxtHiliteClr(look.TxtHiliteClr);
    button->SetTxtShadowClr(look.TxtShadowClr);
    button->SetBtnHiliteClr(look.BtnHiliteClr);
    button->SetBtnShadowClr(look.BtnShadowClr);
    if (!hint.empty())
        button->setToolTip(Q(hint));
    return button;
}

} // namespace vorlane
