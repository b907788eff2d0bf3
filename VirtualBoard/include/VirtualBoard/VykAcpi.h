#pragma once
// The board firmware's management class VYK_ACPI (namespace "root\wmi"): the binary
// BIOS command channel, the value, info, object-id, thermal-zone and fan packages,
// and the CMOS setup items, all answered from the board file's "vykAcpi" section.
//
// Values cross in QVariants of fixed kinds: int (I4), uchar (UI1), ushort (UI2),
// uint (UI4), QString, QByteArray (array of UI1), QList<int> (array of I4),
// QList<uint> (array of UI4), QStringList, and QVariantMap for an object (its class
// name under "__CLASS"). An out value that is an invalid QVariant reads as empty.
//
// Fault switches ("M" is a method name):
//   vyk-acpi-absent          the class does not exist
//   vyk-acpi-fail:M          M fails
//   vyk-acpi-empty:M         M's out-parameters come back empty
//   vyk-acpi-short:M         M's arrays come back shorter than asked or announced
//   vyk-acpi-long:M          M's arrays (and counts) come back far longer
//   vyk-acpi-no-id           GetObjectID's package has no "ID"
//   bios-command-fail:ID     RunCMD command ID answers with a failure status
//   bios-command-fail:ID:N   the same for item number N only
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <array>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "VirtualBoard/CmosItems.h"
#include "VirtualBoard/Machine.h"

namespace vb {

struct WmiMethodSpec {
    QString name;
    bool isStatic = false;
    QStringList inParameters;
};

// Status words of the command channel (0 is success).
enum : uint32_t {
    kBiosSuccess = 0,
    kBiosUnknownCommand = 1,
    kBiosBadItem = 2,
    kBiosBadValue = 3,
    kBiosFailed = 4,
};

class VykAcpi final : public Component {
public:
    explicit VykAcpi(Machine& machine);

    static QString ClassName() { return QStringLiteral("VYK_ACPI"); }
    bool IsPresent() const;
    int InstanceCount() const { return m_instances; }
    std::vector<WmiMethodSpec> Methods() const;

    // Runs a method; false when it fails. *out receives the out-parameters.
    bool Invoke(const QString& method, const QVariantMap& in, QVariantMap* out);
    // Whether a call only reads (a query, a Get method, a command that reads): such a
    // call is traced, not journalled, when it succeeds.
    static bool IsRead(const QString& method, const QVariantMap& in);

    // What reached the firmware, for tests.
    int CallCount(const QString& method) const;
    QVariantMap LastIn(const QString& method) const;
    QByteArray LastInbuf() const;
    uint8_t CmosValue(uint32_t number) const;

private:
    struct Zone {
        int temperature = 0;
        int fanRpm = 0;
        QVariantMap table;                      // the last table set for the zone
    };

    bool _Dispatch(const QString& method, const QVariantMap& in, QVariantMap* out);
    QByteArray _RunCommand(const QByteArray& inbuf);
    // A whole command record whose command only reads.
    static bool _IsReadCommand(const QByteArray& inbuf);
    bool _CommandFails(uint32_t id, uint32_t item) const;
    QVariantMap _ObjectIdPack() const;
    bool _Fault(const char* kind, const QString& method) const;
    void _TraceCall(const char* phase) const;

    Machine& m_machine;
    mutable std::recursive_mutex m_lock;
    QString m_method;                           // the method being run (for the fault switches)
    int m_instances = 1;
    QStringList m_staticMethods;
    int m_version = 0;
    std::vector<uint32_t> m_commands;
    int m_initStatus = 0;
    std::string m_vendor;
    int m_igpMode = -1;
    int m_engineClockOverride = 0;
    std::map<int, int> m_values;
    std::map<int, std::vector<uint32_t>> m_info;
    std::map<int, std::vector<int>> m_dvalues;
    struct ObjectId {
        uint32_t id = 0, property = 0;
        QString name;
    };
    std::vector<ObjectId> m_objects;
    std::vector<uint32_t> m_functionIds;
    int m_zoneStatus = 0, m_thermBufSize = 0;
    std::array<int, 4> m_zoneModes{};
    std::map<int, Zone> m_zones;
    CmosItems m_cmos;
    QString m_callLog;
    std::map<QString, int> m_calls;
    std::map<QString, QVariantMap> m_lastIn;
    QByteArray m_lastInbuf;
};

} // namespace vb
