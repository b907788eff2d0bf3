// Text the user must read stays readable in each skin, inside the real window: the
// captions of disabled buttons, the labels of the file dialogs and message boxes
// that pages open over the window, and the texts the pages colour themselves.
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <utility>

#include "PerformanceControl/PState.h"
#include "Preferences/SettingsPage.h"
#include "QVXLogic/TestCenter.h"
#include "Shell/FileDialog.h"
#include "Testing/StabilityTest.h"
#include "Testing/StatusLabel.h"
#include "Source/MainWindow/ContrastCheck.h"
#include "Source/MainWindow/MainWindowFixture.h"

using test::DrawnArea;
using test::DrawnTextContrast;
using test::MainWindowTest;
using test::RowGround;

namespace {

constexpr double kReadable = 3.0;
// A button's border and rounded corners are no text.
constexpr int kButtonInset = 3;

// The page in front inside the shown window.
QWidget* ShowPage(ZAR* window, const char* group, const char* page)
{
    window->resize(1000, 700);
    window->show();
    EXPECT_TRUE(window->ShowWidget(QLatin1String(group), QLatin1String(page)));
    QCoreApplication::processEvents();
    return window->GetWidget(QLatin1String(group), QLatin1String(page));
}

void ExpectReadableDisabledButton(QWidget* page, const char* name)
{
    SCOPED_TRACE(name);
    auto* button = page ? page->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
    ASSERT_TRUE(button);
    ASSERT_FALSE(button->isEnabled());
    ASSERT_TRUE(button->isVisible());
    EXPECT_GE(DrawnTextContrast(button, kButtonInset), kReadable) << qPrintable(button->text());
}

void ExpectReadableLabels(QWidget* dialog, const QStringList& names)
{
    for (const QString& name : names) {
        SCOPED_TRACE(qPrintable(name));
        auto* label = dialog->findChild<QLabel*>(name);
        ASSERT_TRUE(label);
        ASSERT_TRUE(label->isVisible());
        EXPECT_GE(DrawnTextContrast(label), kReadable) << qPrintable(label->text());
    }
}

} // namespace

TEST_F(MainWindowTest, DisabledButtonsKeepTheirCaptionReadable)
{
    // No clock generator: the Auto Clock page offers none of its three buttons.
    test::LoadBoardWith([](QJsonObject& devices) { devices.remove(QStringLiteral("clockGenerator")); });
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        // No outside tools installed: both tool buttons are disabled.
        QWidget* settings = ShowPage(window, "Preference", "Settings");
        for (const char* name : {"btnWebPAM", "btnLCC"})
            ExpectReadableDisabledButton(settings, name);
        // Nothing chosen to run: Start is disabled.
        ExpectReadableDisabledButton(ShowPage(window, "Performance\nControl", "Stability Test"), "btnRun");
        QWidget* autoClock = ShowPage(window, "Performance\nControl", "Auto Clock");
        for (const char* name : {"btnAutoTune", "btnReset", "btnSave"})
            ExpectReadableDisabledButton(autoClock, name);
        window->hide();
    });
}

TEST_F(MainWindowTest, FileDialogsAndMessageBoxesOverTheWindowAreReadable)
{
    ForEachSkin([this](const QString& skin) {
        ASSERT_TRUE(Open());
        auto* settings = dynamic_cast<QSettingsPage*>(ShowPage(window, "Preference", "Settings"));
        ASSERT_TRUE(settings);
        // The dialog the program opens, looked at before it would be answered.
        bool bAsked = false;
        filedialog::SetSaveHook([&](QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
            bAsked = true;
            QFileDialog dialog(parent, caption, dir, filter);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.show();
            QCoreApplication::processEvents();
            ExpectReadableLabels(&dialog, {"lookInLabel", "fileNameLabel", "fileTypeLabel"});
            EXPECT_TRUE(dialog.grab().save(
                QStringLiteral("%1/settings-save-as-dialog-%2.png").arg(test::ScreenshotDir(), skin)));
            return QString();
        });
        settings->Form().btnSaveAs->click();
        filedialog::SetSaveHook({});
        EXPECT_TRUE(bAsked);

        QMessageBox box(QMessageBox::Information, QStringLiteral("Vyk Velocrest"), QStringLiteral("Some text to read."),
                        QMessageBox::Ok, settings);
        box.show();
        QCoreApplication::processEvents();
        ExpectReadableLabels(&box, {"qt_msgbox_label"});
        box.hide();
        window->hide();
    });
}

namespace {

// The pages whose texts carry colours of their own, in one table.
const char kColouredPages[] =
    "<PageList>"
    "<Group Name=\"System\\nInformation\"><Page Name=\"Diagram\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"JY Pstate\"/><Page Name=\"Stability Test\"/></Group>"
    "<Group Name=\"Preference\"><Page Name=\"Page List\"/></Group>"
    "</PageList>";

// Checks one text: the widget that draws it and the part of it (in its own
// coordinates) where the text lies, clear of borders and pictures.
using Measure = std::function<void(const QString& what, QWidget* widget, const QRect& area)>;

// A caption's band of text rows across the button: the form's lines pass under the
// channel buttons above and below it.
QRect CaptionBand(QWidget* button)
{
    const int height = button->fontMetrics().height();
    return QRect(1, (button->height() - height) / 2, button->width() - 2, height);
}

void DiagramLinks(ZAR* window, const Measure& measure)
{
    QWidget* diagram = ShowPage(window, "System\nInformation", "Diagram");
    ASSERT_TRUE(diagram);
    for (const char* name : {"DDR2Button", "ChannelAButton", "ChannelBButton", "HTLinkButton"}) {
        auto* link = diagram->findChild<QToolButton*>(QLatin1String(name));
        ASSERT_TRUE(link) << name;
        measure(link->text(), link, CaptionBand(link));
    }
}

void StabilityBars(ZAR* window, const Measure& measure)
{
    auto* stability = dynamic_cast<QStabilityTest*>(ShowPage(window, "Performance\nControl", "Stability Test"));
    ASSERT_TRUE(stability);
    // Each case's first result fills its bar whole: the text lies on the bar only.
    g_TestCenter.SetScripted(true);
    stability->findChild<QPushButton*>(QStringLiteral("SelectAllBtn"))->click();
    stability->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_TRUE(stability->IsRunning());
    for (const auto& [pCase, row] : stability->Rows())
        g_TestCenter.InjectResult(pCase, 1000);
    test::SendTick(stability);
    QCoreApplication::processEvents();
    for (const auto& [pCase, row] : stability->Rows()) {
        // Inside the sunken frame and the pixel the bar leaves free on each side.
        measure(row.pCheckbox->text() + QStringLiteral(": ") + row.pStatusLabel->text(), row.pStatusLabel,
                row.pStatusLabel->rect().adjusted(2, 2, -2, -2));
    }
    stability->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    g_TestCenter.SetScripted(false);
}

void PStateIndicators(ZAR* window, const Measure& measure)
{
    auto* pstate = dynamic_cast<QJYPState*>(ShowPage(window, "Performance\nControl", "JY Pstate"));
    ASSERT_TRUE(pstate);
    // Processor 0 runs in P-state 0: its indicator is the current one, the next one is not.
    for (int i : {0, 1}) {
        QLabel* indicator = pstate->Row(0).pPstateLabel[i];
        ASSERT_TRUE(indicator);
        measure(QStringLiteral("CPU 0 P-state ") + indicator->text(), indicator, indicator->rect().adjusted(2, 2, -2, -2));
    }
}

void PageListNames(ZAR* window, const Measure& measure)
{
    QWidget* pageList = ShowPage(window, "Preference", "Page List");
    auto* tree = pageList ? pageList->findChild<QTreeWidget*>(QStringLiteral("WidgetTree")) : nullptr;
    ASSERT_TRUE(tree);
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* page = tree->topLevelItem(g)->child(0);
        ASSERT_TRUE(page);
        // The name right of its check box, and the "Visible" cell beside it.
        const QRect name = tree->visualItemRect(page).intersected(
            QRect(tree->columnViewportPosition(1), 0, tree->columnWidth(1), tree->viewport()->height()));
        const QRect nameText = name.adjusted(24, 0, 0, 0);
        measure(page->text(1), tree->viewport(), nameText);
        // The cell takes the skin: its ground is the tree's, as in the next column.
        const QRect visible(tree->columnViewportPosition(2), name.top(), tree->columnWidth(2), name.height());
        EXPECT_EQ(QColor(RowGround(DrawnArea(tree->viewport(), nameText), 0)),
                  QColor(RowGround(DrawnArea(tree->viewport(), visible), 0)))
            << qPrintable(page->text(1));
    }
}

} // namespace

TEST_F(MainWindowTest, TextsInThePagesOwnColoursReadInBothSkins)
{
    const struct {
        const char* what;
        void (*texts)(ZAR*, const Measure&);
    } cases[] = {
        {"diagram-links", DiagramLinks},
        {"stability-full-bars", StabilityBars},
        {"pstate-indicators", PStateIndicators},
        {"page-list-names", PageListNames},
    };
    ForEachSkin([this, &cases](const QString& skin) {
        ASSERT_TRUE(Open(kColouredPages));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            bool bPictured = false;
            c.texts(window, [&](const QString& what, QWidget* widget, const QRect& area) {
                // Pictured as the user sees it, once, in the state that is measured.
                if (!std::exchange(bPictured, true)) {
                    EXPECT_TRUE(window->grab().save(
                        QStringLiteral("%1/readable-%2-%3.png").arg(test::ScreenshotDir(), QLatin1String(c.what), skin)));
                }
                EXPECT_GE(DrawnTextContrast(widget, area), kReadable) << qPrintable(what);
            });
            EXPECT_TRUE(bPictured);
        }
        window->hide();
    });
}
