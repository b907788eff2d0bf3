#pragma once
// Puts fuzz input into the simulated firmware area of a fresh board.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Engine/DriverHandler.h"
#include "Engine/Log.h"
#include "VirtualBoard/Machine.h"

namespace fuzz {

inline void Start()
{
    g_Log.Init("Fuzz", 0, 0, 10000);      // nothing written: the log is not under test
    g_DriverHandler.Init();
}

inline QJsonObject Base64(const QByteArray& bytes)
{
    return QJsonObject{{"base64", QString::fromLatin1(bytes.toBase64())}};
}

inline void Load(const QJsonObject& sections)
{
    vb::Machine::Instance().LoadJson(QJsonDocument(sections).toJson(QJsonDocument::Compact));
}

} // namespace fuzz
