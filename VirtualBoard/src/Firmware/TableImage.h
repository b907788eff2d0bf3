#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QJsonValue>

#include "VirtualBoard/Journal.h"

namespace vb::tables {

// A raw table image named by the board file: a file name relative to the board's
// folder, or {"base64": "..."} for bytes given in place.
inline bool LoadImage(const QJsonValue& image, const QString& boardDir, const char* what, QByteArray* bytes)
{
    if (image.isObject()) {
        *bytes = QByteArray::fromBase64(image.toObject().value(QStringLiteral("base64")).toString().toLatin1());
        return true;
    }
    QFile f(QDir(boardDir).filePath(image.toString()));
    if (!f.open(QIODevice::ReadOnly)) {
        Report(rtError, "VirtualBoard: %s image %s cannot be read", what, qPrintable(f.fileName()));
        return false;
    }
    *bytes = f.readAll();
    return true;
}

} // namespace vb::tables
