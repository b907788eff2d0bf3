#pragma once
// Board variants for tests: the built-in default board with some of its top-level
// sections replaced.
#include <QJsonObject>
#include <QString>

namespace test {

// The built-in default board as it stands in the resources.
QJsonObject DefaultBoard();

// Loads the default board with the given sections in place of its own. Image files a
// section names resolve against the folder of boardPath.
bool LoadDefaultBoardWith(const QJsonObject& sections, const QString& boardPath = {});

} // namespace test
