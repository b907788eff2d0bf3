#pragma once
// Answers the program's save and open dialogs for a test and remembers what they asked.
// With no answer queued a dialog is cancelled (an empty name), and still recorded.
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace test {

class FileDialogAnswers {
public:
    FileDialogAnswers();
    ~FileDialogAnswers();
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;

    void Queue(const QString& path) { m_answers.push_back(path); }

    struct Asked {
        QString caption;
        QString dir;
        QString filter;
    };
    const std::vector<Asked>& Dialogs() const { return m_asked; }

private:
    std::deque<QString> m_answers;
    std::vector<Asked> m_asked;
};

} // namespace test
