// Text the user must read stays readable in each skin, inside the real window: the
// captions of disabled buttons, and the labels of the file dialogs and message boxes
// that pages open over the window.
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "Preferences/SettingsPage.h"
#include "Shell/FileDialog.h"
#include "Source/MainWindow/ContrastCheck.h"
#include "Source/MainWindow/MainWindowFixture.h"

using test::DrawnTextContrast;
using test::MainWindowTest;

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
