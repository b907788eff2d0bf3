#include "PerformanceControl/MemoryRecordFields.h"

#include <QComboBox>
#include <QStringView>

#include <cstdint>
#include <cstring>

#include "Engine/LogCheck.h"
#include "PerformanceControl/MemoryChoices.h"
#include "Settings/ConfigParser.h"

namespace memory {

namespace {

const uint8_t* Bytes(const void* record, const Field& field)
{
    return static_cast<const uint8_t*>(record) + field.offset;
}

void SetFieldValue(void* record, const Field& field, double value)
{
    uint8_t* bytes = static_cast<uint8_t*>(record) + field.offset;
    if (field.kind == fkValue)
        std::memcpy(bytes, &value, sizeof(value));
    else
        *bytes = value != 0.0 ? 1 : 0;
}

const Field* FindField(const Fields& fields, QComboBox* const* ppBox)
{
    for (const Field& field : fields)
        if (field.ppBox == ppBox)
            return &field;
    return nullptr;
}

// Reads again the lists that follow the reference clock; a failed list call keeps
// the choices offered so far.
void RefreshMovingLists(IMemoryControllerDevice* pMC, const Fields& fields)
{
    for (const Field& field : fields) {
        QComboBox* box = *field.ppBox;
        if (!field.bListFollowsClock || !box)
            continue;
        const ListSlot slot = field.list;
        auto list = [pMC, slot](double* values, unsigned* count) { return (pMC->*slot)(values, count); };
        const bool bRetCode = RefreshChoices(box, list, field.pattern);
        LOG_CHECK_ERROR(bRetCode);
    }
}

} // namespace

bool Changed(const Field& field, const ReadChoices& read)
{
    QComboBox* box = *field.ppBox;
    const auto it = read.find(field.ppBox);
    return box && it != read.end() && box->currentIndex() != it->second;
}

double FieldValue(const void* record, const Field& field)
{
    if (field.kind != fkValue)
        return *Bytes(record, field) != 0 ? 1.0 : 0.0;
    double value;
    std::memcpy(&value, Bytes(record, field), sizeof(value));
    return value;
}

bool FillFields(IMemoryControllerDevice* pMC, const std::vector<QComboBox* const*>& order, const Fields& timing,
                const Fields& config)
{
    for (QComboBox* const* ppBox : order) {
        const Field* pField = FindField(timing, ppBox);
        if (!pField)
            pField = FindField(config, ppBox);
        if (!pField)
            return false;
        const ListSlot slot = pField->list;
        auto list = [pMC, slot](double* values, unsigned* count) { return (pMC->*slot)(values, count); };
        if (!FillChoices(*ppBox, list, pField->pattern))
            return false;
    }
    return true;
}

namespace {

// The controller's read and write of each record.
template <class Record>
struct RecordSlots;
template <>
struct RecordSlots<MEMORY_TIMING> {
    static constexpr auto get = &IMemoryControllerDevice::GetTimings;
    static constexpr auto set = &IMemoryControllerDevice::SetTimings;
};
template <>
struct RecordSlots<MEMORY_CONFIG> {
    static constexpr auto get = &IMemoryControllerDevice::GetConfig;
    static constexpr auto set = &IMemoryControllerDevice::SetConfig;
};

// Controller 0 and its whole record; null, or the text of the failed check.
template <class Record>
const char* GetRecord(IMemoryControllerDevice*& pMC, Record& record)
{
    pMC = MemoryController();
    if (!pMC)
        return "pMC";
    return (pMC->*RecordSlots<Record>::get)(&record) ? nullptr : "bRetCode";
}

} // namespace

template <class Record>
const char* ReadRecord(const Fields& fields, ReadChoices& read)
{
    IMemoryControllerDevice* pMC = nullptr;
    Record record{};
    if (const char* pszFailed = GetRecord(pMC, record))
        return pszFailed;
    RefreshMovingLists(pMC, fields);
    for (const Field& field : fields) {
        QComboBox* box = *field.ppBox;
        if (!box)
            continue;
        const double value = FieldValue(&record, field);
        const bool bMatched = SelectByData(box, field.kind == fkValue ? QVariant(value) : QVariant(value != 0.0));
        if (!bMatched && field.bDisableUnmatched)
            box->setEnabled(false);
        read[field.ppBox] = box->currentIndex();
    }
    return nullptr;
}

template <class Record>
const char* WriteRecord(const Fields& fields, const ReadChoices& read, Record& written)
{
    IMemoryControllerDevice* pMC = nullptr;
    Record record{};
    if (const char* pszFailed = GetRecord(pMC, record))
        return pszFailed;
    RefreshMovingLists(pMC, fields);
    for (const Field& field : fields) {
        double value;
        if (field.kind != fkShownFlag && Changed(field, read) && CurrentValue(*field.ppBox, value))
            SetFieldValue(&record, field, value);
    }
    written = record;
    return (pMC->*RecordSlots<Record>::set)(&record) ? nullptr : "bRetCode";
}

template const char* ReadRecord<MEMORY_TIMING>(const Fields&, ReadChoices&);
template const char* ReadRecord<MEMORY_CONFIG>(const Fields&, ReadChoices&);
template const char* WriteRecord<MEMORY_TIMING>(const Fields&, const ReadChoices&, MEMORY_TIMING&);
template const char* WriteRecord<MEMORY_CONFIG>(const Fields&, const ReadChoices&, MEMORY_CONFIG&);

bool StoreProfile(CConfigParser* pStore, const Fields& fields, const void* record, bool bSaveEach, bool bSaveAtEnd)
{
    IMemoryControllerDevice* pMC = MemoryController();
    LOG_PROCESS_ERROR(pStore && pMC);
    bool bStored = true;
    for (const Field& field : fields) {
        if (!field.key || !*field.ppBox)
            continue;
        bStored &= pStore->SetValue(QStringView(pMC->GetTypeName()), QStringView(pMC->GetName()),
                                    QStringView(field.key), FieldValue(record, field), bSaveEach);
    }
    if (bSaveAtEnd)
        bStored &= pStore->Save();
    return bStored;
}

} // namespace memory
