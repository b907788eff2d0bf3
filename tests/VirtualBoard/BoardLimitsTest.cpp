// Every count and size a board file gives keeps a bound a real machine of this kind
// reaches; a file past one is refused as it loads, naming the field and the bound.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include "VirtualBoard/Machine.h"
#include "support/BoardEdits.h"
#include "support/TestEnvironment.h"

namespace {

vb::Machine& M() { return vb::Machine::Instance(); }

// value with the entry at path ("devices.gpus.0.name") set to what.
QJsonValue With(const QJsonValue& value, QStringList path, const QJsonValue& what)
{
    if (path.isEmpty())
        return what;
    const QString key = path.takeFirst();
    if (value.isArray()) {
        QJsonArray list = value.toArray();
        const int index = key.toInt();
        list[index] = With(list.at(index), path, what);
        return list;
    }
    QJsonObject object = value.toObject();
    object[key] = With(object.value(key), path, what);
    return object;
}

// count copies of the path's first entry on the default board.
QJsonArray Copies(const QString& path, int count)
{
    QJsonValue entry = test::DefaultBoard();
    for (const QString& key : path.split('.'))
        entry = entry.isArray() ? entry.toArray().at(key.toInt()) : entry.toObject().value(key);
    QJsonArray list;
    for (int i = 0; i < count; ++i)
        list.append(entry.toArray().at(0));
    return list;
}

QString Hex(int bytes) { return QString(QByteArray(bytes, '\x5A').toHex(' ')); }

QJsonObject Base64(int bytes) { return {{"base64", QString(QByteArray(bytes, '\0').toBase64())}}; }

struct Case {
    const char* path;
    QJsonValue value;
    const char* error;      // empty: the board loads
};

// Loads the default board with one field changed; the error, or empty when it loaded.
std::string LoadWith(const Case& c)
{
    const QJsonObject board = With(test::DefaultBoard(), QString::fromLatin1(c.path).split('.'), c.value).toObject();
    QString error;
    const bool loaded = M().LoadJson(QJsonDocument(board).toJson(), &error, test::TestDir() + "/board.json");
    EXPECT_EQ(loaded, error.isEmpty());
    return error.toStdString();
}

} // namespace

TEST(BoardLimitsTest, ACountOrSizePastItsBoundIsRefusedNamingTheFieldAndTheBound)
{
    QFile image(test::TestDir() + "/DSDT.bin");
    ASSERT_TRUE(image.open(QIODevice::WriteOnly) && image.resize(1024 * 1024 + 1));
    image.close();
    const QJsonArray twoRegions{QJsonObject{{"base", "0x10000000"}, {"size", "0x9000000"}},
                                QJsonObject{{"base", "0x20000000"}, {"size", "0x9000000"}}};
    const Case cases[] = {
        {"processor.cores", 100000000, "processor.cores is 100000000, outside its bounds of 0 to 32"},
        {"processor.cores", -1, "processor.cores is -1, outside its bounds of 0 to 32"},
        {"processor.sockets", 5, "processor.sockets is 5, outside its bounds of 0 to 4"},
        {"devices.cpu.packages", "0x100", "devices.cpu.packages is 256, outside its bounds of 0 to 8"},
        {"devices.memoryModules", Copies("devices.memoryModules", 5),
         "devices.memoryModules has 5 entries, beyond its bound of 4"},
        {"devices.disks", Copies("devices.disks", 33), "devices.disks has 33 entries, beyond its bound of 32"},
        {"devices.gpus", Copies("devices.gpus", 9), "devices.gpus has 9 entries, beyond its bound of 8"},
        {"usb.devices", Copies("usb.devices", 128), "usb.devices has 128 entries, beyond its bound of 127"},
        {"devices.sataController.channels", 100000000,
         "devices.sataController.channels is 100000000, outside its bounds of 0 to 32"},
        {"devices.disks.0.sectors", 1e15, "devices.disks[0].sectors is 1000000000000000, outside its bounds of 0 to "
                                          "281474976710656"},
        {"devices.gpus.0.levels", Copies("devices.gpus.0.levels", 17),
         "devices.gpus[0].levels has 17 entries, beyond its bound of 16"},
        {"vykAcpi.functionIds", Copies("vykAcpi.functionIds", 1025),
         "vykAcpi.functionIds has 1025 entries, beyond its bound of 1024"},
        {"smbus.devices.0.bytes", Hex(257), "smbus.devices[0].bytes holds 257 bytes, beyond its bound of 256"},
        {"smbios.image", Base64(65536), "smbios.image holds 65536 bytes, beyond its bound of 65535"},
        {"acpi.images", QJsonArray{"DSDT.bin"}, "acpi.images[0] holds 1048577 bytes, beyond its bound of 1048576"},
        {"memory.pool.size", "0x10000000", "memory.pool.size is 268435456, outside its bounds of 0 to 67108864"},
        {"memory.regions.0.size", "0x10000001",
         "memory.regions[0].size is 268435457, outside its bounds of 0 to 268435456"},
        {"memory.regions", twoRegions, "memory.regions[*].size come to 301989888 together, beyond their bound of "
                                       "268435456"},
        // Numbers far past their bound are named whole, never in exponent form.
        {"processor.cores", "0x7FFFFFFFFFFFFFFF", "processor.cores is 9223372036854775807, outside its bounds of 0 to 32"},
        {"processor.sockets", QJsonValue(qint64(9223372036854775807)),
         "processor.sockets is 9223372036854775807, outside its bounds of 0 to 4"},
        {"devices.cpu.packages", "18446744073709551615",
         "devices.cpu.packages is 18446744073709551615, outside its bounds of 0 to 8"},
        {"devices.disks.0.sectors", 1e20,
         "devices.disks[0].sectors is 100000000000000000000, outside its bounds of 0 to 281474976710656"},
        {"processor.cores", 32.5, "processor.cores is 32.5, outside its bounds of 0 to 32"},
        // At the bound, the board loads.
        {"processor.cores", 32, ""},
        {"devices.memoryModules", Copies("devices.memoryModules", 4), ""},
        {"vykAcpi.functionIds", Copies("vykAcpi.functionIds", 1024), ""},
        {"smbus.devices.0.bytes", Hex(256), ""},
        {"memory.pool.size", "0x4000000", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(LoadWith(c), c.error);
    }
}
