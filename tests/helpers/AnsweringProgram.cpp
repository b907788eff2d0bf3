// The program as the process tests start it: the same start-up and window as
// VykVelocrest, but its message boxes answer from $VELOCREST_TEST_ANSWERS
// ("Ok,Cancel": one answer per box in turn, the last one repeating) instead of
// waiting for a user. Built with the tests only; the shipped program has no such switch.
#include <QStringList>

#include <algorithm>

#include "Shell/MessageBox.h"
#include "Startup/RunApplication.h"

int main(int argc, char* argv[])
{
    const QStringList answers = qEnvironmentVariable("VELOCREST_TEST_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    int next = 0;
    msgbox::SetHook([&](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
        if (answers.isEmpty())
            return QMessageBox::Ok;
        const QString answer = answers.at(std::min<int>(next++, answers.size() - 1)).trimmed();
        return answer.compare(QLatin1String("Cancel"), Qt::CaseInsensitive) == 0 ? QMessageBox::Cancel : QMessageBox::Ok;
    });
    return RunApplication(argc, argv);
}
