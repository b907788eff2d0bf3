#include "support/FileDialogAnswers.h"

#include "Shell/FileDialog.h"

namespace test {

FileDialogAnswers::FileDialogAnswers()
{
    filedialog::SetSaveHook([this](QWidget*, const QString& caption, const QString& dir, const QString& filter) {
        m_asked.push_back({caption, dir, filter});
        if (m_answers.empty())
            return QString();
        const QString answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

FileDialogAnswers::~FileDialogAnswers() { filedialog::SetSaveHook({}); }

} // namespace test
