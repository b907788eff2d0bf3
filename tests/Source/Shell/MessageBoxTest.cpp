// The program's message boxes: a test answers them in-process; nothing from outside
// the process can, not even the overclocking warning.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "Shell/OverclockWarning.h"

TEST(MessageBoxTest, NoEnvironmentVariableAnswersTheOverclockingWarning)
{
    // The variable that once answered every box: the real warning shows and waits.
    qputenv("VELOCREST_MESSAGEBOX_ANSWERS", "Ok");
    QString shown;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    user.start(0);
    EXPECT_FALSE(AskOverclockWarning());
    user.stop();
    qunsetenv("VELOCREST_MESSAGEBOX_ANSWERS");
    EXPECT_EQ(shown, OverclockWarningText());
}
