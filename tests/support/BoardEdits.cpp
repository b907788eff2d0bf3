#include "support/BoardEdits.h"

#include <QFile>
#include <QJsonDocument>

#include "VirtualBoard/Machine.h"

namespace test {

QJsonObject DefaultBoard()
{
    QFile file(QStringLiteral(":/boards/default.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool LoadDefaultBoardWith(const QJsonObject& sections, const QString& boardPath)
{
    QJsonObject board = DefaultBoard();
    if (board.isEmpty())
        return false;
    for (auto it = sections.begin(); it != sections.end(); ++it)
        board.insert(it.key(), it.value());
    return vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson(), nullptr, boardPath);
}

} // namespace test
