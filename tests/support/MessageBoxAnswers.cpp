#include "support/MessageBoxAnswers.h"

#include "Shell/MessageBox.h"

namespace test {

MessageBoxAnswers::MessageBoxAnswers(QMessageBox::StandardButton defaultAnswer) : m_default(defaultAnswer)
{
    msgbox::SetHook([this](QMessageBox::Icon icon, const QString& title, const QString& text,
                           QMessageBox::StandardButtons buttons) {
        m_shown.push_back({icon, title, text, buttons});
        if (m_answers.empty())
            return m_default;
        const QMessageBox::StandardButton answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

MessageBoxAnswers::~MessageBoxAnswers() { msgbox::SetHook({}); }

QStringList MessageBoxAnswers::Texts() const
{
    QStringList texts;
    for (const Shown& s : m_shown)
        texts << s.text;
    return texts;
}

} // namespace test
