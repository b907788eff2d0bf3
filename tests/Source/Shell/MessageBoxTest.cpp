// The program's message boxes: a test answers them in-process; nothing from outside
// the process can, not even the overclocking warning.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "Shell/MessageBox.h"
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

TEST(MessageBoxTest, ABoxClosedWithoutAnAnswerGivesItsEscapeAnswer)
{
    using B = QMessageBox;
    struct Case {
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton escape;
    };
    const Case cases[] = {
        {B::Yes | B::No, B::No},         {B::Ok | B::Cancel, B::Cancel}, {B::Yes | B::No | B::Cancel, B::No},
        {B::Ok, B::Ok},                  {B::Retry | B::Abort, B::Abort}, {B::Ok | B::Apply, B::NoButton},
    };
    // The screen went away (the hook closes every box), a hook's answer the box does
    // not offer, and a program that is ending (no box is shown any more).
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"closed by the hook", [] { msgbox::SetHook([](auto...) { return QMessageBox::NoButton; }); }},
        {"an answer not offered", [] { msgbox::SetHook([](auto...) { return QMessageBox::Help; }); }},
        {"ending", [] { msgbox::StopAsking(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        close();
        for (const Case& c : cases) {
            EXPECT_EQ(msgbox::Show(nullptr, QMessageBox::Question, "Title", "Sure?", c.buttons), c.escape) << c.buttons;
            EXPECT_FALSE(msgbox::LastAnswered());
        }
        msgbox::ResumeAsking();
        msgbox::SetHook([](auto...) { return QMessageBox::Yes; });
        EXPECT_EQ(msgbox::Show(nullptr, QMessageBox::Question, "Title", "Sure?", B::Yes | B::No), B::Yes);
        EXPECT_TRUE(msgbox::LastAnswered());
        msgbox::SetHook({});
    }
}
