#include "ui/AboutForm.h"

#include "ui/LinkLabel.h"
#include "ui/gradbtn/GradBtn.h"
#include "util/Version.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(AboutForm, ShowsEveryLabelInItsPlace)
{
    TAboutForm form(nullptr, [](const QUrl&) {});
    EXPECT_EQ(form.windowTitle(), "About Vorlane");
    EXPECT_EQ(form.size(), QSize(359, 261));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().family(), QApplication::font().family()) << "the desktop's font";

    const struct
    {
        const char* name;
        QWidget* label;
        QPoint place;
        QString text;
    } labels[] = {
        {"TitleLabel", form.TitleLabel(), {48, 8}, "Vorlane"},
        {"ReasonLabel", form.ReasonLabel(), {48, 28}, "POP3 Mail checker."},
        {"TimeSynchronizationToolLabel",
         form.TimeSynchronizationToolLabel(),
         {48, 40},
         "Time synchronization tool."},
        {"MessageLabel",
         form.MessageLabel(),
         {8, 60},
         "Allows you to check for new mail at multiple POP3 Servers and synchronize your systems "
         "time with that of a time-server on the internet."},
        {"MadeByTekstLabel", form.MadeByTekstLabel(), {8, 116}, "Made by:"},
        {"MadeByLabel", form.MadeByLabel(), {64, 116}, "The Vorlane developers"},
        {"VersionTekstLabel", form.VersionTekstLabel(), {8, 132}, "Version:"},
        {"VersionLabel",
         form.VersionLabel(),
         {64, 132},
         QString::fromStdString(GetVersionString())},
        {"EmailLabel", form.EmailLabel(), {8, 148}, "E-mail:"},
        {"EmailAdressLabel", form.EmailAdressLabel(), {64, 148}, "vorlane@users.noreply.invalid"},
        {"WwwLabel", form.WwwLabel(), {8, 164}, "Www:"},
        {"URLLabel", form.URLLabel(), {64, 164}, kWebAddress},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(l.label->pos(), l.place) << l.name;
        EXPECT_EQ(static_cast<QLabel*>(l.label)->text(), l.text) << l.name;
    }
    EXPECT_FALSE(form.VersionLabel()->text().isEmpty());
    EXPECT_EQ(form.MessageLabel()->geometry(), QRect(8, 60, 329, 65));
    EXPECT_EQ(form.Label1()->geometry(), QRect(8, 184, 341, 45));
    EXPECT_EQ(form.MadeByLabel()->width(), 153);
    EXPECT_EQ(form.URLLabel()->width(), 286);
    EXPECT_EQ(form.Image()->pos(), QPoint(8, 8));
    EXPECT_EQ(form.FirstBevel()->geometry().topLeft(), QPoint(0, 232));
    EXPECT_EQ(form.OKGradBtn()->geometry(), QRect(144, 236, 75, 25));
    EXPECT_EQ(form.OKGradBtn()->font().family(), "Times New Roman");
    EXPECT_TRUE(form.OKGradBtn()->font().bold());
    EXPECT_EQ(form.OKGradBtn()->EndColor(), 0x5F5F5Fu);

    QFont title = form.TitleLabel()->font();
    EXPECT_TRUE(title.bold());
    EXPECT_TRUE(title.italic());
    EXPECT_EQ(title.pointSize(), 10);
    EXPECT_TRUE(form.URLLabel()->font().underline());
    EXPECT_EQ(form.URLLabel()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form.EmailAdressLabel()->toolTip(), "Stuur eens een mailtje vind ik leuk.");
    // OK is the only control the keyboard reaches.
    EXPECT_EQ(form.URLLabel()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.EmailAdressLabel()->focusPolicy(), Qt::NoFocus);
}

TEST(AboutForm, TheCreditAndAddressAreNotStoredAsPlainText)
{
    EXPECT_EQ(MakerCredit(), "The Vorlane developers");
    EXPECT_EQ(ContactAddress(), "vorlane@users.noreply.invalid");
}

TEST(AboutForm, LinksOpenThroughTheDesktop)
{
    std::vector<QUrl> opened;
    TAboutForm form(nullptr, [&](const QUrl& url) { opened.push_back(url); });
    QTest::mouseClick(form.URLLabel(), Qt::LeftButton);
    QTest::mouseClick(form.EmailAdressLabel(), Qt::LeftButton);
    QTest::mouseClick(form.MadeByLabel(), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl(kWebAddress));
    EXPECT_EQ(opened[1], QUrl("mailto:vorlane@users.noreply.invalid"));

    // An empty address still hands "mailto:" over.
    form.EmailAdressLabel()->clear();
    form.EmailAdressLabelClick();
    EXPECT_EQ(opened.back().toString(), "mailto:");
}

TEST(AboutForm, OkClosesWithResultOk)
{
    TAboutForm form(nullptr, [](const QUrl&) {});
    QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

} // namespace
} // namespace vorlane
