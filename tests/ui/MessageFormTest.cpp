#include "ui/MessageForm.h"

#include "ui/HeaderLines.h"
#include "ui/gradbtn/GradBtn.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

MailMessageList ThreeMessages()
{
    return {
        {"1", {"Ann <ann@example.org>", "Minutes"}},
        {"2", {"Bob <bob@example.org>", "Lunch?"}},
        {"3", {"Carol <carol@example.org>", "Re: Lunch?"}},
    };
}

QStringList ListLines(const TMessageForm& form)
{
    QStringList lines;
    for (int row = 0; row < form.HeadersListbox()->count(); ++row)
        lines << form.HeadersListbox()->item(row)->text();
    return lines;
}

TEST(HeaderLines, FallBackToUnknownWithoutARecord)
{
    const MailMessageList headers = {{"1", {"a@example.org", ""}}};
    EXPECT_EQ(HeaderLinesAt(&headers, 0), (HeaderLines{"From: a@example.org", "Subject: "}));
    EXPECT_EQ(HeaderLinesAt(&headers, 1), (HeaderLines{"From: (Unknown)", "Subject: (Unknown)"}));
    EXPECT_EQ(HeaderLinesAt(nullptr, 0), (HeaderLines{"From: (Unknown)", "Subject: (Unknown)"}));
    EXPECT_EQ(CounterText(1, 4), "Message 2 of 5");
}

TEST(MessageForm, OpensAsASmallFixedWindowWithTheMessageAlone)
{
    TMessageForm form;
    form.SetMessage("The server answered: -ERR [IN-USE] mailbox locked");
    EXPECT_EQ(form.windowTitle(), "Vorlane: Message");
    EXPECT_EQ(form.size(), QSize(336, 93));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.font().family(), QApplication::font().family()) << "the desktop's font";
    EXPECT_EQ(form.font().pointSize(), 8);

    const struct
    {
        const char* name;
        QWidget* control;
        QRect geometry;
    } controls[] = {
        {"IconImage", form.IconImage(), {8, 8, 32, 32}},
        {"MessageLabel", form.MessageLabel(), {44, 8, 281, 52}},
        {"FirstBevel", form.FirstBevel(), {0, 64, 337, 5}},
        {"OKGradBtn", form.OKGradBtn(), {132, 68, 75, 25}},
        {"HeadersListbox", form.HeadersListbox(), {8, 82, 301, 43}},
        {"HeadersScrollBar", form.HeadersScrollBar(), {311, 82, 16, 43}},
    };
    for (const auto& c : controls)
        EXPECT_EQ(c.control->geometry(), c.geometry) << c.name;
    EXPECT_EQ(form.CounterLabel()->pos(), QPoint(8, 67));
    EXPECT_TRUE(form.CounterLabel()->text().isEmpty());
    EXPECT_FALSE(form.HeadersListbox()->isVisibleTo(&form));
    EXPECT_FALSE(form.HeadersScrollBar()->isVisibleTo(&form));
    EXPECT_FALSE(form.HeadersListbox()->isEnabled());
    EXPECT_EQ(form.IconImage()->pixmap().size(), QSize(32, 32));
    EXPECT_TRUE(form.MessageLabel()->wordWrap());
    EXPECT_EQ(form.MessageLabel()->text(), "The server answered: -ERR [IN-USE] mailbox locked");
    EXPECT_EQ(form.ModalResult(), std::nullopt);
    EXPECT_EQ(form.HeaderList(), nullptr);
}

TEST(MessageForm, OkButtonHasTheAluminumLook)
{
    TMessageForm form;
    const TGradBtn& ok = *form.OKGradBtn();
    EXPECT_EQ(ok.Caption(), "OK");
    EXPECT_EQ(ok.font().family(), "Verdana");
    EXPECT_EQ(ok.font().pointSize(), 10);
    EXPECT_TRUE(ok.font().bold());
    EXPECT_EQ(ok.FontColor(), WinColor::Black);
    EXPECT_EQ(ok.BeginColor(), 0xCECECEu);
    EXPECT_EQ(ok.EndColor(), 0x5F5F5Fu);
    EXPECT_EQ(ok.GradientStyle(), TGradientStyle::gsVertical);
    EXPECT_EQ(ok.TextStyle(), TTextStyle::tsInset);
    EXPECT_EQ(ok.TextShadeType(), TShadeType::stHeavy);
    EXPECT_EQ(ok.BtnHiliteClr(), WinColor::White);
    EXPECT_EQ(ok.BtnShadowClr(), WinColor::Black);

    // As rendered inside the window: white top edge, black bottom edge, grey face between.
    const QImage image = form.grab().toImage();
    EXPECT_EQ(image.pixelColor(170, 68), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(170, 92), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(134, 70).red(), 195); // row 2 shows step 25: 206 - 11
}

TEST(MessageForm, ThreeRecordsOpenOnTheLastAndBrowseToTheFirst)
{
    const MailMessageList headers = ThreeMessages();
    TMessageForm form;
    form.ShowHeaders(headers);
    EXPECT_EQ(form.size(), QSize(336, 153));
    EXPECT_EQ(form.OKGradBtn()->geometry(), QRect(132, 128, 75, 25));
    EXPECT_TRUE(form.HeadersListbox()->isVisibleTo(&form));
    EXPECT_TRUE(form.HeadersScrollBar()->isVisibleTo(&form));
    EXPECT_TRUE(form.HeadersScrollBar()->isEnabled());
    EXPECT_EQ(form.HeaderList(), &headers);
    EXPECT_EQ(form.CounterLabel()->text(), "Message 3 of 3");
    EXPECT_EQ(ListLines(form),
              QStringList({"From: Carol <carol@example.org>", "Subject: Re: Lunch?"}));

    form.HeadersScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(form.CounterLabel()->text(), "Message 1 of 3");
    EXPECT_EQ(ListLines(form), QStringList({"From: Ann <ann@example.org>", "Subject: Minutes"}));
    form.HeadersScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form.CounterLabel()->text(), "Message 2 of 3");
    form.HeadersScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form.CounterLabel()->text(), "Message 3 of 3");
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[2].second.Subject, "Re: Lunch?");
}

TEST(MessageForm, ShowsEncodedHeadersDecodedInAnyCharsetThePlatformKnows)
{
    const struct
    {
        const char* name;
        const char* raw;
        const char* shown;
    } cases[] = {
        {"B in UTF-8", "=?UTF-8?B?SGVsbG8gV8O2cmxk?=", "Hello W\u00F6rld"},
        {"Q in UTF-8",
         "=?utf-8?q?Gr=C3=BC=C3=9Fe_aus_K=C3=B6ln?=", "Gr\u00FC\u00DFe aus K\u00F6ln"},
        {"ISO-8859-1", "=?ISO-8859-1?Q?Caf=E9?=", "Caf\u00E9"},
        {"ISO-8859-15", "=?ISO-8859-15?B?Q2Vu7WsgpCAxMA==?=", "Cen\u00EDk \u20AC 10"},
        {"Windows-1252",
         "=?windows-1252?Q?=93quoted=94_=96_dash?=", "\u201Cquoted\u201D \u2013 dash"},
        {"KOI8-R", "=?KOI8-R?B?8NLJ18XU?=", "\u041F\u0440\u0438\u0432\u0435\u0442"},
        {"adjacent words, folded", "=?KOI8-R?Q?=F0=D2=C9?=\r\n =?koi8-r?Q?=D7=C5=D4?= !",
         "\u041F\u0440\u0438\u0432\u0435\u0442 !"},
        {"a character split across words", "=?UTF-8?B?4g==?= =?UTF-8?B?gqw=?=", "\u20AC"},
        {"a malformed word", "=?UTF-8?B?####?= =?UTF-8?Q?ok?=", "=?UTF-8?B?####?= ok"},
        {"an unknown charset", "=?x-no-such-charset?Q?abc?=", "=?x-no-such-charset?Q?abc?="},
        {"bytes invalid in their charset", "=?UTF-8?Q?=E9t=E9?=", "=?UTF-8?Q?=E9t=E9?="},
        {"bare 8-bit UTF-8", "Caf\xC3\xA9", "Caf\u00E9"},
        {"bare 8-bit Windows-1252", "Caf\xE9 \x80", "Caf\u00E9 \u20AC"},
        {"a sender with an encoded name", "=?UTF-8?Q?Bj=C3=B6rn?= <bjorn@example.org>",
         "Bj\u00F6rn <bjorn@example.org>"},
    };
    for (const auto& c : cases) {
        const MailMessageList headers = {{"1", {c.raw, c.raw}}};
        TMessageForm form;
        form.ShowHeaders(headers);
        const QString shown = QString::fromUtf8(c.shown);
        EXPECT_EQ(ListLines(form), QStringList({"From: " + shown, "Subject: " + shown})) << c.name;
    }
}

TEST(MessageForm, OneRecordShowsADisabledScrollBar)
{
    const MailMessageList headers = {{"1", {"ann@example.org", ""}}};
    TMessageForm form;
    form.ShowHeaders(headers);
    EXPECT_EQ(form.CounterLabel()->text(), "Message 1 of 1");
    EXPECT_TRUE(form.HeadersScrollBar()->isVisibleTo(&form));
    EXPECT_FALSE(form.HeadersScrollBar()->isEnabled());
    EXPECT_EQ(ListLines(form), QStringList({"From: ann@example.org", "Subject: "}));
}

TEST(MessageForm, NoRecordsAddNoHeaderAreaAndASecondCallNoSecondOne)
{
    const MailMessageList none;
    TMessageForm form;
    form.ShowHeaders(none);
    EXPECT_EQ(form.size(), QSize(336, 93));
    EXPECT_FALSE(form.HeadersListbox()->isVisibleTo(&form));
    EXPECT_TRUE(form.CounterLabel()->text().isEmpty());

    const MailMessageList headers = ThreeMessages();
    form.ShowHeaders(headers);
    form.ShowHeaders(headers);
    EXPECT_EQ(form.size(), QSize(336, 153));
    EXPECT_EQ(form.OKGradBtn()->y(), 128);
}

TEST(MessageForm, OkAndTheCloseBoxEndAModalShowing)
{
    const struct
    {
        const char* how;
        bool ok;
        QDialog::DialogCode result;
    } cases[] = {
        {"OK", true, QDialog::Accepted},
        {"close box", false, QDialog::Rejected},
    };
    for (const auto& c : cases) {
        TMessageForm form;
        const MailMessageList headers = ThreeMessages();
        form.ShowHeaders(headers);
        bool wasOpen = false;
        QTimer::singleShot(0, &form, [&] {
            wasOpen = form.isVisible();
            if (c.ok)
                QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton, {}, QPoint(10, 10));
            else
                form.close();
        });
        EXPECT_EQ(form.ShowModal(), c.result) << c.how;
        EXPECT_TRUE(wasOpen) << c.how;
        EXPECT_FALSE(form.isVisible()) << c.how;
        EXPECT_EQ(form.ModalResult(), c.result) << c.how;
        EXPECT_EQ(form.HeaderList(), nullptr) << c.how;
    }
}

TEST(MessageForm, WithoutWaitingOkOnlySetsTheResultAndTheCloseBoxOnlyHides)
{
    const MailMessageList headers = ThreeMessages();
    {
        TMessageForm form;
        form.ShowHeaders(headers);
        form.show();
        QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(form.ModalResult(), QDialog::Accepted);
        EXPECT_TRUE(form.isVisible());
    }
    TMessageForm form;
    form.ShowHeaders(headers);
    form.show();
    EXPECT_EQ(form.HeaderList(), &headers);
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ModalResult(), std::nullopt);
    EXPECT_EQ(form.HeaderList(), nullptr);
    form.HeadersScrollBarChange();
    EXPECT_EQ(ListLines(form), QStringList({"From: (Unknown)", "Subject: (Unknown)"}));
}

TEST(MessageForm, OpensCentredWithTheFocusOnOk)
{
    TMessageForm form;
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_TRUE(form.OKGradBtn()->HasFocus());
    QTest::keyClick(form.OKGradBtn(), Qt::Key_Space);
    EXPECT_EQ(form.ModalResult(), QDialog::Accepted);
}

TEST(MessageForm, ALongMessageWrapsAndTheWindowGrowsToShowItWhole)
{
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "word ";
    words += "end";
    for (const bool headers : {false, true}) {
        TMessageForm form;
        if (headers)
            form.ShowHeaders({{"1", {"Ann", "Hi"}}});
        const int before = form.height();
        form.SetMessage(words);
        const auto* label = form.MessageLabel();
        EXPECT_EQ(label->width(), 281);
        EXPECT_EQ(label->height(), label->heightForWidth(281)) << "every line of it";
        EXPECT_GT(label->height(), 52);
        EXPECT_EQ(form.height(), before + label->height() - 52) << headers;
        EXPECT_TRUE(label->alignment() & Qt::AlignTop);
        EXPECT_GE(form.OKGradBtn()->y(), label->geometry().bottom()) << "OK below the text";
        EXPECT_EQ(form.OKGradBtn()->geometry().bottom(), form.height() - 1 - 0) << headers;
    }
}

} // namespace
} // namespace vorlane
