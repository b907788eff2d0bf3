#include "support/FileDialogAnswers.h"

#include "Shell/FileDialog.h"

namespace test {

FileDialogAnswers::FileDialogAnswers()
{
    const auto answer = [this](QWidget*, const QString& caption, const QString& dir, const QString& filter) {
        m_asked.push_back({caption, dir, filter});
        if (m_answers.empty())
            return QString();
        const QString path = m_answers.front();
        m_answers.pop_front();
        return path;
    };
    filedialog::SetSaveHook(answer);
    filedialog::SetOpenHook(answer);
}

FileDialogAnswers::~FileDialogAnswers()
{
    filedialog::SetSaveHook({});
    filedialog::SetOpenHook({});
}

} // namespace test
