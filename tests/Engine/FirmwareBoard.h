#pragma once
// Board variants for the firmware-table readers: tables built in the test, placed in
// the simulated firmware area as raw images.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>
#include <initializer_list>

#include "support/BoardEdits.h"

namespace test {

// An ACPI table: header (OEM "TESTID"), body, and a checksum that is right unless told otherwise.
inline QByteArray AcpiTable(const char* signature, const QByteArray& body = {}, bool goodChecksum = true,
                            int64_t lengthField = -1)
{
    QByteArray t(36, '\0');
    std::memcpy(t.data(), signature, 4);
    t += body;
    const uint32_t length = lengthField < 0 ? static_cast<uint32_t>(t.size()) : static_cast<uint32_t>(lengthField);
    std::memcpy(t.data() + 4, &length, 4);
    t[8] = 1;
    std::memcpy(t.data() + 10, "TESTID", 6);
    uint8_t sum = 0;
    for (char c : t)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    t[9] = static_cast<char>(static_cast<uint8_t>(0x100 - sum) + (goodChecksum ? 0 : 1));
    return t;
}

inline QByteArray U32s(std::initializer_list<uint32_t> values)
{
    QByteArray b;
    for (uint32_t v : values)
        b.append(reinterpret_cast<const char*>(&v), 4);
    return b;
}

inline QJsonObject Base64(const QByteArray& bytes)
{
    return QJsonObject{{"base64", QString::fromLatin1(bytes.toBase64())}};
}

inline QJsonObject Blob(uint64_t address, const QByteArray& bytes)
{
    QJsonObject o = Base64(bytes);
    o.insert("address", QStringLiteral("0x%1").arg(address, 0, 16));
    return o;
}

} // namespace test
