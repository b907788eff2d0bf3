#pragma once
// Answers the program's message boxes for a test and remembers what they said.
// Unexpected boxes (none queued) answer with the default answer and are still recorded.
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>

namespace test {

class MessageBoxAnswers {
public:
    explicit MessageBoxAnswers(QMessageBox::StandardButton defaultAnswer = QMessageBox::Ok);
    ~MessageBoxAnswers();
    void Queue(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }

    struct Shown {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    const std::vector<Shown>& Messages() const { return m_shown; }
    QStringList Texts() const;

private:
    QMessageBox::StandardButton m_default;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<Shown> m_shown;
};

} // namespace test
