// Every window laid out with the desktop's text at 8, 11 and 14 points: no control overlaps
// another, none reaches out of its parent, and every caption fits its control. The same program
// runs once more at scale factor 2 (tests/ui/CMakeLists.txt).
#include "config/SettingsStore.h"
#include "mail/MailServer.h"
#include "support/TempDir.h"
#include "ui/AboutForm.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/MessageForm.h"
#include "ui/SettingsForm.h"
#include "ui/gradbtn/GradBtn.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::test {
namespace {

std::string Describe(const QWidget* widget)
{
    std::ostringstream text;
    text << widget->metaObject()->className();
    if (!widget->objectName().isEmpty())
        text << " " << widget->objectName().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text << " \"" << label->text().left(40).toStdString() << "\"";
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text << " \"" << button->text().toStdString() << "\"";
    else if (const auto* grad = qobject_cast<const TGradBtn*>(widget))
        text << " \"" << grad->Caption() << "\"";
    const QRect r = widget->geometry();
    text << " at " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    return text.str();
}

QString WithoutMnemonic(QString text)
{
    return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

// Widgets whose own children are their business (a combo box's list, a scroll area's viewport).
bool IsComposite(const QWidget* widget)
{
    return qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractScrollArea*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTabBar*>(widget) ||
           qobject_cast<const QScrollBar*>(widget);
}

// A bare frame is a bevel line: drawn under its neighbours by design, and harmless when cut.
bool IsDecoration(const QWidget* widget)
{
    return std::string_view(widget->metaObject()->className()) == "QFrame" &&
           widget->findChildren<QWidget*>().isEmpty();
}

bool IsPlainLabel(const QLabel* label)
{
    return !label->text().isEmpty() && label->textFormat() != Qt::RichText &&
           !label->text().startsWith('<');
}

// Where a widget shows something in its parent. A label's box is often taller than its text
// (designers stack label boxes a pixel into each other); what must not overlap is the text: the
// ink of a line, the lines of a wrapped text.
QRect Occupied(const QWidget* widget)
{
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (label == nullptr || !IsPlainLabel(label))
        return widget->geometry();
    const QRect contents = label->contentsRect().translated(label->pos());
    const QFontMetrics metrics = label->fontMetrics();
    const QString text = WithoutMnemonic(label->text());
    if (label->wordWrap()) {
        const QRect lines =
            metrics.boundingRect(QRect(0, 0, contents.width(), 100000), Qt::TextWordWrap, text);
        return QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                   QSize(contents.width(), lines.height()), contents);
    }
    const QRect line =
        QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                            QSize(metrics.horizontalAdvance(text), metrics.height()), contents);
    const QRect ink = metrics.tightBoundingRect(text);
    return ink.translated(line.x(), line.y() + metrics.ascent()).intersected(line);
}

// What does not fit its own control: a caption wider than its button or label, a wrapped text
// taller than its label.
void CheckCaption(const QWidget* widget, std::vector<std::string>& faults)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (!IsPlainLabel(label))
            return;
        const QFontMetrics metrics = label->fontMetrics();
        if (label->wordWrap()) {
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, label->contentsRect().width(), 100000),
                                     Qt::TextWordWrap, WithoutMnemonic(label->text()));
            if (needed.height() > label->contentsRect().height())
                faults.push_back("wrapped text cut off: " + Describe(widget) + ", needs " +
                                 std::to_string(needed.height()));
        } else if (metrics.horizontalAdvance(WithoutMnemonic(label->text())) >
                   label->contentsRect().width()) {
            faults.push_back("text wider than its label: " + Describe(widget));
        }
    } else if (const auto* box = qobject_cast<const QAbstractButton*>(widget)) {
        if ((qobject_cast<const QCheckBox*>(box) || qobject_cast<const QRadioButton*>(box)) &&
            box->sizeHint().width() > box->width())
            faults.push_back("caption wider than its button: " + Describe(widget) + ", needs " +
                             std::to_string(box->sizeHint().width()));
    } else if (const auto* grad = qobject_cast<const TGradBtn*>(widget)) {
        const int needed =
            QFontMetrics(grad->font())
                .horizontalAdvance(WithoutMnemonic(QString::fromStdString(grad->Caption()))) +
            2 * grad->BtnFrameSize() + 4;
        if (needed > grad->width())
            faults.push_back("caption wider than its button: " + Describe(widget));
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        if (group->fontMetrics().horizontalAdvance(WithoutMnemonic(group->title())) + 16 >
            group->width())
            faults.push_back("title wider than its group: " + Describe(widget));
    }
}

// The visible children of parent: each inside it, none over another; then the same within each.
void CheckChildren(const QWidget* parent, std::vector<std::string>& faults)
{
    std::vector<const QWidget*> children;
    for (const QObject* object : parent->children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child == nullptr || child->isWindow() || !child->isVisible() || IsDecoration(child))
            continue;
        children.push_back(child);
    }
    const QRect inside = parent->contentsRect().isValid() ? parent->rect() : QRect();
    for (std::size_t i = 0; i < children.size(); ++i) {
        const QWidget* child = children[i];
        if (!inside.contains(Occupied(child)))
            faults.push_back("outside " + Describe(parent) + ": " + Describe(child));
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            if (Occupied(child).intersects(Occupied(children[j])))
                faults.push_back("overlap: " + Describe(child) + " and " + Describe(children[j]));
        }
        CheckCaption(child, faults);
        if (const auto* tabs = qobject_cast<const QTabWidget*>(child)) {
            // Every page, not only the one that shows.
            auto* switchable = const_cast<QTabWidget*>(tabs);
            const int shown = tabs->currentIndex();
            for (int page = 0; page < tabs->count(); ++page) {
                switchable->setCurrentIndex(page);
                QApplication::processEvents();
                CheckChildren(tabs->widget(page), faults);
            }
            switchable->setCurrentIndex(shown);
        } else if (!IsComposite(child)) {
            CheckChildren(child, faults);
        }
    }
}

std::vector<std::string> LayoutFaults(QWidget& window)
{
    window.show();
    QApplication::processEvents();
    std::vector<std::string> faults;
    CheckChildren(&window, faults);
    window.hide();
    return faults;
}

class DialogLayoutTest : public testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        saved_ = QApplication::font();
        QApplication::setFont(QFont("DejaVu Sans", GetParam()));
    }
    void TearDown() override { QApplication::setFont(saved_); }

    static void ExpectNoFaults(QWidget& window, const char* name)
    {
        const auto faults = LayoutFaults(window);
        std::ostringstream all;
        for (const auto& fault : faults)
            all << "\n  " << fault;
        EXPECT_TRUE(faults.empty())
            << name << " at " << QApplication::font().pointSize() << " pt, scale "
            << window.devicePixelRatioF() << ":" << all.str();
    }

private:
    QFont saved_;
};

TEST_P(DialogLayoutTest, SettingsDialogEveryPage)
{
    TempDir folder("layout");
    RegistryStore store(folder / "registry.reg", SettingsFileOptions());
    store.Modify([](RegistryKey& root) {
        auto& entry = root.CreateKey(kSettingsKey).CreateKey("Home");
        entry.SetValue("Username", StringValue("ann"));
        entry.SetValue("Server", StringValue("pop.example.org"));
        entry.SetValue("Interval", IntegerValue(10));
    });
    SettingsFormServices services;
    services.listPhoneBookEntries = [] {
        return std::optional<std::vector<std::string>>({"Office", "Home", "Mobile"});
    };
    services.autostartFolder = folder / "autostart";
    services.executablePath = "/usr/local/bin/vorlane";
    services.logFileName = "/home/ann/.local/state/Vorlane/Vorlane.log";
    TSettingsForm form(store, services);
    ExpectNoFaults(form, "Settings");
}

TEST_P(DialogLayoutTest, MailServerEntryDialogPlainAndWithItsWarnings)
{
    TMailServerSettingsForm plain;
    plain.ResetFields();
    ExpectNoFaults(plain, "entry");

    TMailServerSettingsForm warned;
    warned.ServerNameEdit()->setText("Club");
    warned.POP3ServerEdit()->setText("pop.example.org");
    warned.SetSecurity(kSecurityNone);
    ExpectNoFaults(warned, "entry without TLS");
}

TEST_P(DialogLayoutTest, AboutBox)
{
    TAboutForm form(nullptr, [](const QUrl&) {});
    ExpectNoFaults(form, "About");
}

TEST_P(DialogLayoutTest, MessageWindowShowsALongReportWhole)
{
    TMessageForm form;
    form.SetMessage(
        "Mail error: The connection with the mail server could not be established: the "
        "connection was refused (111) while connecting to pop.example.org for the mailbox "
        "\"Home\". The mail server said: [SYS/TEMP] Too many connections from your address, "
        "try again later.\r\nAdvice: the mail server has a passing problem; the next check "
        "will try again.");
    ExpectNoFaults(form, "message");

    TMessageForm headers;
    headers.SetMessage("3 new mail messages have arrived at 'Home'");
    headers.ShowHeaders({{"1", {"Ann Example <ann@example.org>", "Minutes of Monday's meeting"}},
                         {"2", {"Bob <bob@example.org>", ""}}});
    ExpectNoFaults(headers, "message with headers");
}

INSTANTIATE_TEST_SUITE_P(FontSizes, DialogLayoutTest, testing::Values(8, 11, 14),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "pt";
                         });

} // namespace
} // namespace vorlane::test
