#pragma once
// SMBIOS structure tables built in a test, and the board section that lays one out
// behind the firmware's entry point.
#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace test::smbios {

// One structure: type, formatted length (area zero-filled, with the given bytes set),
// strings, and the double NUL that ends it.
inline QByteArray Structure(uint8_t type, int length, std::initializer_list<std::pair<int, uint8_t>> bytes,
                            const QStringList& strings = {})
{
    QByteArray s(length, '\0');
    s[0] = static_cast<char>(type);
    s[1] = static_cast<char>(length);
    for (const auto& [at, v] : bytes)
        s[at] = static_cast<char>(v);
    for (const QString& text : strings)
        s += text.toLatin1() + '\0';
    if (strings.isEmpty())
        s += '\0';
    return s + '\0';
}

// The board's "smbios" section for a table given as raw bytes.
inline QJsonObject Section(const QByteArray& table)
{
    return QJsonObject{{"image", QJsonObject{{"base64", QString::fromLatin1(table.toBase64())}}}};
}

} // namespace test::smbios
