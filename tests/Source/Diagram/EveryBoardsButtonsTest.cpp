// Every button of the Diagram that the user can press opens a window with the
// component's values in it, on every board the program can be started on: the
// built-in ones and the test variants (files that do not load are passed over).
#include <QDir>
#include <QLineEdit>

#include "Diagram/DialogSupport.h"
#include "Source/Diagram/DiagramFixture.h"

using test::DiagramTest;

namespace {

QStringList BoardFiles()
{
    QStringList files;
    for (const char* dir : {VELOCREST_BOARDS, VELOCREST_FIXTURES "/boards"})
        for (const QFileInfo& file : QDir(QLatin1String(dir)).entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
            files << file.absoluteFilePath();
    return files;
}

// Whether a dialog shows a value: a value cell or field with text in it.
bool ShowsAValue(QWidget* pDialog)
{
    for (QLabel* label : pDialog->findChildren<QLabel*>())
        if (label->styleSheet() == QLatin1String(kValueLabelStyle) && !label->text().trimmed().isEmpty())
            return true;
    for (QLineEdit* field : pDialog->findChildren<QLineEdit*>())
        if (!field->text().trimmed().isEmpty())
            return true;
    return false;
}

TEST_F(DiagramTest, EveryEnabledButtonOpensAFilledWindowOnEveryBoard)
{
    QStringList walked;
    for (const QString& path : BoardFiles()) {
        const QString name = QFileInfo(path).fileName();
        SCOPED_TRACE(name.toStdString());
        g_DeviceManager.UnInit();
        if (!vb::Machine::Instance().LoadFile(path) || !g_DeviceManager.Init("test"))
            continue;
        walked << name;
        Open();
        for (int slot = 0; slot < dnTotal - 1; ++slot) {
            QToolButton* button = Button(slot);
            if (!button->isEnabled() || !button->isVisibleTo(page.get()))
                continue;
            SCOPED_TRACE(button->objectName().toStdString());
            button->click();
            QBaseDialog* frame = g_DialogManager.Frame(slot);
            if (!frame || !frame->Dialog()) {
                ADD_FAILURE() << "an enabled button that opens nothing";
                button->setChecked(false);
                continue;
            }
            EXPECT_TRUE(frame->isVisible());
            EXPECT_TRUE(ShowsAValue(frame->Dialog()));
            button->click();
            EXPECT_FALSE(frame->isVisible());
        }
        EXPECT_TRUE(page->UnInit());
        page.reset();
    }
    // The broken fixtures aside, every board is walked.
    EXPECT_TRUE(walked.contains(QStringLiteral("default.json")));
    EXPECT_TRUE(walked.contains(QStringLiteral("qvx-family11h.json")));
    EXPECT_GE(walked.size(), 15) << walked.join(QLatin1Char(' ')).toStdString();
    vb::Machine::Instance().LoadDefault();
}

} // namespace
