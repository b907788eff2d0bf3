#pragma once
// The bounds of a board file's counts and sizes: the largest a real machine of this
// kind reaches. A file past one is refused as it loads, so a slip of a few digits can
// never make the simulated machine loop or fill the memory while it builds itself.
#include <QJsonObject>
#include <QString>

namespace vb {

// True when every count, list and size of the board keeps its bound and every number
// is of its field's kind (BoardNumbers.h). Otherwise false, with the field, what it
// gives and the bound or the kind in error. Image files are found in boardDir.
bool CheckBoardLimits(const QJsonObject& board, const QString& boardDir, QString* error);

} // namespace vb
