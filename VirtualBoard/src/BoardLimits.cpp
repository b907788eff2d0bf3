#include "BoardLimits.h"
#include "BoardNumbers.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

#include <map>
#include <vector>

namespace vb {

namespace {

enum class Measure {
    Value,      // a number (or "0x..." text)
    Entries,    // the entries of a list
    HexBytes,   // the bytes a text of hex digits gives
    ImageBytes, // an image: a file in the board's folder, or {"base64": "..."}
    Total,      // the numbers of every match, added up
};

struct Limit {
    const char* path;   // keys joined by '.'; "*" stands for every entry of a list
    Measure measure;
    double bound;
};

constexpr double kMiB = 1024.0 * 1024.0;

const Limit kLimits[] = {
    // Processors: four sockets of up to 32 cores stay within the 8-bit APIC ids.
    {"processor.cores", Measure::Value, 32},
    {"processor.sockets", Measure::Value, 4},
    {"devices.cpu.packages", Measure::Value, 8},
    {"devices.cpu.pstates", Measure::Entries, 8},               // eight P-state registers
    {"devices.htLink.links", Measure::Entries, 64},             // eight sublinks per package
    // Memory: four module slots, SPD EEPROMs of 256 bytes on a 7-bit SMBus.
    {"devices.memoryModules", Measure::Entries, 4},
    {"devices.memoryModules.*.capacityMB", Measure::Value, 32768},
    {"smbus.devices", Measure::Entries, 128},
    {"smbus.devices.*.bytes", Measure::HexBytes, 256},
    // Storage: 32 AHCI ports, two IDE controllers, 48-bit sector numbers.
    {"devices.sataController.channels", Measure::Value, 32},
    {"devices.ideController.channels", Measure::Value, 4},
    {"devices.disks", Measure::Entries, 32},
    {"devices.disks.*.sectors", Measure::Value, 281474976710656.0},
    {"devices.opticalDrives", Measure::Entries, 16},
    // Graphics and displays.
    {"devices.gpus", Measure::Entries, 8},
    {"devices.gpus.*.levels", Measure::Entries, 16},
    {"devices.gpus.*.memoryBytes", Measure::Value, 16384 * kMiB},
    {"devices.monitors", Measure::Entries, 32},
    // Buses: 127 addresses on a USB bus, 256 PCI buses.
    {"devices.usbControllers", Measure::Entries, 16},
    {"usb.devices", Measure::Entries, 127},
    {"pci.ecam.buses", Measure::Value, 256},
    // Sensors, regulators and the rest of the devices.
    {"devices.sensorChip.fans", Measure::Entries, 16},
    {"devices.sensorChip.temperatures", Measure::Entries, 16},
    {"devices.sensorChip.voltages", Measure::Entries, 32},
    {"devices.southBridge.fans", Measure::Entries, 16},
    {"devices.southBridge.temperatures", Measure::Entries, 16},
    {"devices.southBridge.voltages", Measure::Entries, 32},
    {"devices.pwm2.channels", Measure::Entries, 16},
    {"devices.audio", Measure::Entries, 8},
    // Firmware: a byte chooses a CMOS option and sizes the thermal buffer; an SMBIOS
    // 2.x entry point gives the table's length and count in 16 bits.
    {"vykAcpi.instances", Measure::Value, 8},
    {"vykAcpi.cmosItems", Measure::Entries, 256},
    {"vykAcpi.cmosItems.*.options", Measure::Entries, 256},
    {"vykAcpi.zones.thermBufSize", Measure::Value, 255},
    {"acpi.images", Measure::Entries, 64},
    {"acpi.images.*", Measure::ImageBytes, 1 * kMiB},
    {"acpi.blobs", Measure::Entries, 64},
    {"acpi.blobs.*", Measure::ImageBytes, 1 * kMiB},
    {"smbios.image", Measure::ImageBytes, 65535},
    {"smbios.structureCount", Measure::Value, 65535},
    // The simulated address space holds its regions and its pool in full.
    {"memory.regions", Measure::Entries, 16},
    {"memory.regions.*.size", Measure::Value, 256 * kMiB},
    {"memory.regions.*.size", Measure::Total, 256 * kMiB},
    {"memory.pool.size", Measure::Value, 64 * kMiB},
};

// A list the table does not name.
constexpr double kMaxEntries = 1024;

class LimitCheck {
public:
    LimitCheck(const QString& boardDir, QString* error) : m_boardDir(boardDir), m_error(error)
    {
        for (const Limit& limit : kLimits)
            m_limits[QString::fromLatin1(limit.path)].push_back(&limit);
    }

    bool Walk(const QJsonValue& value, const QString& pattern, const QString& field)
    {
        const auto rules = m_limits.find(pattern);
        bool listNamed = false;
        if (rules != m_limits.end())
            for (const Limit* limit : rules->second) {
                listNamed = listNamed || limit->measure == Measure::Entries;
                if (!Keeps(*limit, value, field))
                    return false;
            }
        // A number field may give a list of such numbers instead (a usage per core),
        // whose entries are checked in turn.
        const NumberRule* rule = NumberRuleAt(pattern);
        const bool listOfNumbers = value.isArray() && NumberRuleAt(pattern + QStringLiteral(".*"));
        if (rule && !listOfNumbers && !IsOfKind(rule->kind, value)
            && !(rule->word && value.toString() == QLatin1String(rule->word)))
            return Refuse(QStringLiteral("%1 is %2, not %3").arg(field, ShownValue(value), KindText(rule->kind)));
        if (value.isArray()) {
            const QJsonArray list = value.toArray();
            if (!listNamed && list.size() > kMaxEntries)
                return Refuse(QStringLiteral("%1 has %2 entries, beyond its bound of %3")
                                  .arg(field, NumberText(list.size()), NumberText(kMaxEntries)));
            for (qsizetype i = 0; i < list.size(); ++i)
                if (!Walk(list.at(i), pattern + QStringLiteral(".*"), field + QStringLiteral("[%1]").arg(i)))
                    return false;
        } else if (value.isObject()) {
            const QJsonObject object = value.toObject();
            const NumberKind* keyKind = nullptr;
            const bool map = IsNumberMap(pattern, &keyKind);
            for (auto it = object.begin(); it != object.end(); ++it) {
                const QString dot = pattern.isEmpty() ? QString() : QStringLiteral(".");
                if (keyKind && !IsOfKind(*keyKind, QJsonValue(it.key())))
                    return Refuse(QStringLiteral("%1 has the key %2, not %3")
                                      .arg(field, ShownValue(it.key()), KindText(*keyKind)));
                if (!Walk(it.value(), pattern + dot + (map ? QStringLiteral("*") : it.key()), field + dot + it.key()))
                    return false;
            }
        }
        return true;
    }

    bool Totals()
    {
        for (const auto& [limit, total] : m_totals)
            if (total > limit->bound)
                return Refuse(QStringLiteral("%1 come to %2 together, beyond their bound of %3")
                                  .arg(QString::fromLatin1(limit->path).replace(QStringLiteral(".*"), QStringLiteral("[*]")),
                                       NumberText(total), NumberText(limit->bound)));
        return true;
    }

private:
    bool Refuse(const QString& text)
    {
        if (m_error)
            *m_error = text;
        return false;
    }

    // A number as the readers take it, and (when given) its text for a message: an
    // integer in full, as the file gives it (a double holds only 53 bits of it). False
    // for anything else, which is then refused for its kind.
    static bool NumberOf(const QJsonValue& value, double* number, QString* text = nullptr)
    {
        bool ok = value.isDouble();
        QString exact;
        if (ok) {
            *number = value.toDouble();
            exact = ShownValue(value);
        } else if (value.isString()) {
            const qulonglong integer = value.toString().trimmed().toULongLong(&ok, 0);
            *number = static_cast<double>(integer);
            exact = QString::number(integer);
        }
        if (text)
            *text = exact;
        return ok;
    }

    // The bytes of an image, or -1 when there is none to measure (a missing file is
    // reported when the image is read).
    qint64 ImageSize(const QJsonValue& value) const
    {
        if (value.isObject())
            return QByteArray::fromBase64(value.toObject().value(QStringLiteral("base64")).toString().toLatin1()).size();
        if (!value.isString())
            return -1;
        const QFileInfo file(QDir(m_boardDir).filePath(value.toString()));
        return file.exists() ? file.size() : -1;
    }

    bool Keeps(const Limit& limit, const QJsonValue& value, const QString& field)
    {
        const QString bound = NumberText(limit.bound);
        double number = 0;
        QString text;
        switch (limit.measure) {
        case Measure::Value:
            // A number past the bound names the bound; any other value that is no
            // whole number from 0 to it (a text that is none, a fraction) its kind.
            if (NumberOf(value, &number, &text) && (number < 0 || number > limit.bound))
                return Refuse(QStringLiteral("%1 is %2, outside its bounds of 0 to %3").arg(field, text, bound));
            if (IsWholeUpTo(limit.bound, value))
                return true;
            return Refuse(QStringLiteral("%1 is %2, not %3").arg(field, ShownValue(value), WholeUpToText(limit.bound)));
        case Measure::Entries:
            if (!value.isArray() || value.toArray().size() <= limit.bound)
                return true;
            return Refuse(QStringLiteral("%1 has %2 entries, beyond its bound of %3")
                              .arg(field, NumberText(value.toArray().size()), bound));
        case Measure::HexBytes: {
            qsizetype digits = 0;
            for (const QChar c : value.toString())
                digits += c.isSpace() ? 0 : 1;
            if (digits / 2 <= limit.bound)
                return true;
            return Refuse(QStringLiteral("%1 holds %2 bytes, beyond its bound of %3").arg(field, NumberText(digits / 2), bound));
        }
        case Measure::ImageBytes: {
            const qint64 size = ImageSize(value);
            if (size <= limit.bound)
                return true;
            return Refuse(QStringLiteral("%1 holds %2 bytes, beyond its bound of %3").arg(field, NumberText(size), bound));
        }
        case Measure::Total:
            if (NumberOf(value, &number) && number > 0)
                m_totals[&limit] += number;
            return true;
        }
        return true;
    }

    const QString& m_boardDir;
    QString* m_error;
    std::map<QString, std::vector<const Limit*>> m_limits;
    std::map<const Limit*, double> m_totals;
};

} // namespace

bool CheckBoardLimits(const QJsonObject& board, const QString& boardDir, QString* error)
{
    LimitCheck check(boardDir, error);
    return check.Walk(board, QString(), QString()) && check.Totals();
}

} // namespace vb
