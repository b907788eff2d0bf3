#include "support/ReservedCodes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "VirtualBoard/Machine.h"

namespace test {

namespace {

const QString kDdr3Board = QStringLiteral(VELOCREST_FIXTURES "/boards/qvx-ddr3-external.json");

QJsonObject Ddr3Board()
{
    QFile file(kDdr3Board);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Replaces element i of the array under key with what change makes of it.
template <class Change>
void EditElement(QJsonObject& parent, const char* key, int i, Change change)
{
    QJsonArray array = parent.value(QLatin1String(key)).toArray();
    QJsonObject element = array.at(i).toObject();
    change(element);
    array.replace(i, element);
    parent.insert(QLatin1String(key), array);
}

template <class Change>
void EditObject(QJsonObject& parent, const char* key, Change change)
{
    QJsonObject object = parent.value(QLatin1String(key)).toObject();
    change(object);
    parent.insert(QLatin1String(key), object);
}

} // namespace

std::vector<uint8_t> Ddr3Spd(std::initializer_list<std::pair<int, uint8_t>> edits)
{
    const QJsonObject eeprom =
        Ddr3Board().value("smbus").toObject().value("devices").toArray().at(0).toObject();
    const QByteArray hex = QByteArray::fromHex(eeprom.value("bytes").toString().toLatin1());
    std::vector<uint8_t> b(hex.begin(), hex.end());
    for (const auto& [offset, value] : edits)
        b.at(static_cast<size_t>(offset)) = value;
    unsigned crc = 0;
    for (size_t i = 0; i < 117; ++i) {
        crc ^= unsigned(b.at(i)) << 8;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1;
    }
    b.at(126) = static_cast<uint8_t>(crc);
    b.at(127) = static_cast<uint8_t>(crc >> 8);
    return b;
}

std::vector<uint8_t> Ddr3SpdOfReservedCodes()
{
    // Byte 4: banks (bits 6-4) and chip density (3-0); byte 7: ranks (5-3) and chip
    // width (2-0, here the defined x8); byte 8: bus width (2-0).
    return Ddr3Spd({{4, 0x7F}, {7, 0x39}, {8, 0x07}});
}

bool LoadDdr3Board(const std::vector<uint8_t>& spd, std::optional<uint16_t> identifyWord)
{
    QJsonObject board = Ddr3Board();
    EditObject(board, "smbus", [&](QJsonObject& smbus) {
        EditElement(smbus, "devices", 0, [&](QJsonObject& eeprom) {
            const QByteArray bytes(reinterpret_cast<const char*>(spd.data()), static_cast<qsizetype>(spd.size()));
            eeprom.insert("bytes", QString::fromLatin1(bytes.toHex(' ')));
        });
    });
    if (identifyWord) {
        EditObject(board, "devices", [&](QJsonObject& devices) {
            EditElement(devices, "disks", 0, [&](QJsonObject& disk) {
                QJsonObject words;
                for (int i = 0; i < 255; ++i)
                    words.insert(QString::number(i), *identifyWord);
                disk.insert("identifyWords", words);
            });
        });
    }
    return vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson(), nullptr, kDdr3Board);
}

} // namespace test
