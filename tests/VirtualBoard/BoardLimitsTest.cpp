// Every count and size a board file gives keeps a bound a real machine of this kind
// reaches, and every number is of the kind its reader takes; a file past a bound, or
// with a number of another kind, is refused as it loads, naming the field and the
// bound or the kind.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

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

TEST(BoardLimitsTest, ANumberOfAnotherKindThanItsFieldsIsRefusedNamingTheFieldAndTheKind)
{
    const std::string u8 = "not a whole number from 0 to 255";
    const std::string u16 = "not a whole number from 0 to 65535";
    const std::string u32 = "not a whole number from 0 to 4294967295";
    const std::string u64 = "not a whole number from 0 to 18446744073709551615";
    const std::string integer = "not a whole number from -2147483648 to 2147483647";
    const std::string number = "not a number";
    const std::string upTo32 = "not a whole number from 0 to 32";
    struct Kind {
        const char* path;
        QJsonValue value;
        std::string error;      // empty: the board loads
    };
    const Kind kinds[] = {
        // An unsigned field without a bound of its own: its reader's width bounds it.
        {"processor.maxStandardLeaf", "abc", "processor.maxStandardLeaf is \"abc\", " + u32},
        {"processor.maxStandardLeaf", "-1", "processor.maxStandardLeaf is \"-1\", " + u32},
        {"processor.maxStandardLeaf", -1, "processor.maxStandardLeaf is -1, " + u32},
        {"processor.maxStandardLeaf", 2.5, "processor.maxStandardLeaf is 2.5, " + u32},
        {"processor.maxStandardLeaf", 4294967296.0, "processor.maxStandardLeaf is 4294967296, " + u32},
        {"processor.maxStandardLeaf", "0x100000000", "processor.maxStandardLeaf is \"0x100000000\", " + u32},
        {"processor.maxStandardLeaf", true, "processor.maxStandardLeaf is true, " + u32},
        {"processor.maxStandardLeaf", 4294967295.0, ""},
        {"processor.maxStandardLeaf", "0x10", ""},
        {"processor.maxStandardLeaf", QJsonValue(), ""},
        {"processor.msr.0xC0010071", "0xFFFFFFFFFFFFFFFF", ""},
        {"processor.msr.0xC0010071", "0x10000000000000000", "processor.msr.0xC0010071 is \"0x10000000000000000\", " + u64},
        {"processor.msr.0xC0010071", 1e20, "processor.msr.0xC0010071 is 100000000000000000000, " + u64},
        {"processor.msr.abc", "0x1", "processor.msr has the key \"abc\", " + u32},
        {"pci.functions.0.revision", 256, "pci.functions[0].revision is 256, " + u8},
        {"pci.functions.0.revision", "0xFF", ""},
        {"smbios.processor.maxSpeed", 65536, "smbios.processor.maxSpeed is 65536, " + u16},
        {"devices.gpus.0.vendorId", -1, "devices.gpus[0].vendorId is -1, " + u32},
        {"graphics.registers.0x600", -5, "graphics.registers.0x600 is -5, " + u32},
        // A signed field: negative numbers are its own; fractions, texts and numbers
        // past 32 bits are not.
        {"devices.cpu.pstates.0.fid", -1, ""},
        {"devices.cpu.pstates.0.fid", "abc", "devices.cpu.pstates[0].fid is \"abc\", " + integer},
        {"devices.cpu.pstates.0.fid", 2.5, "devices.cpu.pstates[0].fid is 2.5, " + integer},
        {"devices.cpu.pstates.0.fid", 1e20, "devices.cpu.pstates[0].fid is 100000000000000000000, " + integer},
        {"vykAcpi.zones.status", "5", "vykAcpi.zones.status is \"5\", " + integer},
        // Any number, but a number.
        {"processor.referenceClockMHz", 200.5, ""},
        {"processor.referenceClockMHz", "abc", "processor.referenceClockMHz is \"abc\", " + number},
        {"processor.referenceClockMHz", QJsonArray{200}, "processor.referenceClockMHz is a list, " + number},
        {"devices.clockGenerator.htRef.max", "abc", "devices.clockGenerator.htRef.max is \"abc\", " + number},
        {"devices.memoryController.fields.Tcl", "abc", "devices.memoryController.fields.Tcl is \"abc\", " + number},
        {"devices.southBridge.temperatures.0", QJsonValue(), ""},
        {"devices.cpu.usage", "host", ""},
        {"devices.cpu.usage", "abc", "devices.cpu.usage is \"abc\", " + number},
        {"devices.cpu.usage", QJsonArray{1, "x"}, "devices.cpu.usage[1] is \"x\", " + number},
        // A count or size with its bound: a number past it names the bound (above),
        // anything else that is no whole number up to it names the kind.
        {"processor.cores", "abc", "processor.cores is \"abc\", " + upTo32},
        {"processor.cores", "-1", "processor.cores is \"-1\", " + upTo32},
        {"processor.cores", 2.5, "processor.cores is 2.5, " + upTo32},
        {"processor.cores", "99999999999999999999", "processor.cores is \"99999999999999999999\", " + upTo32},
        {"devices.disks.0.sectors", "abc",
         "devices.disks[0].sectors is \"abc\", not a whole number from 0 to 281474976710656"},
        {"vykAcpi.zones.thermBufSize", "0x10", ""},
    };
    for (const Kind& c : kinds) {
        SCOPED_TRACE(c.path);
        SCOPED_TRACE(QJsonDocument(QJsonArray{c.value}).toJson(QJsonDocument::Compact).toStdString());
        EXPECT_EQ(LoadWith({c.path, c.value, c.error.c_str()}), c.error);
    }
    M().LoadDefault();
}

namespace {

// Calls found(path, field) for every number of value: the JSON numbers and the
// numbers given as hex text. path as LoadWith takes it, field as a message names it.
void ForEachNumber(const QJsonValue& value, const QString& path, const QString& field,
                   const std::function<void(const QString&, const QString&)>& found)
{
    const QString dot = path.isEmpty() ? QString() : QStringLiteral(".");
    if (value.isArray()) {
        const QJsonArray list = value.toArray();
        for (qsizetype i = 0; i < list.size(); ++i)
            ForEachNumber(list.at(i), path + dot + QString::number(i), field + QStringLiteral("[%1]").arg(i), found);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            ForEachNumber(it.value(), path + dot + it.key(), field + dot + it.key(), found);
    } else if (value.isDouble() || value.toString().startsWith(QLatin1String("0x"))) {
        found(path, field);
    }
}

} // namespace

TEST(BoardLimitsTest, EveryNumberOfTheShippedBoardsHasItsKindChecked)
{
    // A number the check does not know would be read as its reader's default when it
    // is no number: every one the board files give is refused as text. A field met
    // before (another entry of a list, the same field in another file) is tried once.
    QStringList files{QStringLiteral(":/boards/default.json")};
    for (const QString& name : QDir(QStringLiteral(VELOCREST_FIXTURES "/boards")).entryList({"*.json"}))
        files << QStringLiteral(VELOCREST_FIXTURES "/boards/") + name;
    std::set<QString> tried;
    int numbers = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QJsonObject sections = QJsonDocument::fromJson(in.readAll()).object();
        // As the tests load a variant: its sections over the default board's.
        QJsonObject board = test::DefaultBoard();
        for (auto it = sections.begin(); it != sections.end(); ++it)
            board.insert(it.key(), it.value());
        ForEachNumber(sections, QString(), QString(), [&](const QString& path, const QString& field) {
            QString pattern = path;
            pattern.replace(QRegularExpression(QStringLiteral("\\.\\d+(?=\\.|$)")), QStringLiteral(".*"));
            if (!tried.insert(pattern).second)
                return;
            SCOPED_TRACE(path.toStdString());
            const QJsonObject changed = With(board, path.split('.'), QStringLiteral("abc")).toObject();
            QString error;
            EXPECT_FALSE(M().LoadJson(QJsonDocument(changed).toJson(), &error, test::TestDir() + "/board.json"));
            EXPECT_TRUE(error.startsWith(field + QStringLiteral(" is \"abc\", not "))) << error.toStdString();
            ++numbers;
        });
    }
    EXPECT_GT(numbers, 250);
    M().LoadDefault();
}
