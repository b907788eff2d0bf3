#pragma once
// The fields a Memory page shows of the controller's timing and configuration
// records: which box shows a field, where the field sits in its record, the value
// list it is chosen from and the profile item it is stored under. The pages work
// read-modify-write on whole records, so a field no box shows keeps what the
// controller returned.
#include <cstddef>
#include <map>
#include <vector>

#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"

class CConfigParser;
class QComboBox;

namespace memory {

using ListSlot = bool (IMemoryControllerDevice::*)(double* list, unsigned* count);

enum FieldKind {
    fkValue,       // a double chosen from a value list
    fkFlag,        // a byte flag, written as 1 or 0
    fkShownFlag,   // a byte flag that is shown but never written or stored
};

struct Field {
    QComboBox* const* ppBox;   // the form's member; null once the page deleted the box
    size_t offset;             // in MEMORY_TIMING or MEMORY_CONFIG
    FieldKind kind;
    ListSlot list;             // fkValue only
    const char* pattern;       // choice text, "%1 ns"
    const char16_t* key;       // profile item; null: never stored
    bool bDisableUnmatched;    // a value outside the list disables the box too
    bool bListFollowsClock = false;   // the list moves with the reference clock
};
using Fields = std::vector<Field>;

// The position the last read selected in each box (by the form member): a box
// still there holds no change of the user's.
using ReadChoices = std::map<QComboBox* const*, int>;

// True when the user chose something else in the field's box since the last read.
bool Changed(const Field& field, const ReadChoices& read);

inline IMemoryControllerDevice* MemoryController()
{
    return QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
}

// The field's value in the record; flags read as 1.0 or 0.0.
double FieldValue(const void* record, const Field& field);

// Fills the boxes from their fields' value lists, in the given order; false at
// the first list call that fails (or a box no field shows).
bool FillFields(IMemoryControllerDevice* pMC, const std::vector<QComboBox* const*>& order, const Fields& timing,
                const Fields& config);

// Reads the whole record (MEMORY_TIMING or MEMORY_CONFIG) from controller 0 and
// selects each field's value in its box (boxes the page deleted are skipped),
// noting the positions in read. A list that follows the reference clock is read
// again first when it moved. Null, or the text of the failed check ("pMC",
// "bRetCode").
template <class Record>
const char* ReadRecord(const Fields& fields, ReadChoices& read);

// Reads the whole record, overwrites each field the user changed with its box's
// current choice and writes the record back; written holds what was handed to the
// controller. Every other field keeps the value the controller holds now: a box
// left alone may show a value that no longer applies (another page moved the
// reference clock, and the memory clocks with it), and a box without a choice
// would write 0.0, which can keep a machine from starting. A choice in a list that
// moved since is taken at the same position of the list in force. Null, or the
// text of the failed check.
template <class Record>
const char* WriteRecord(const Fields& fields, const ReadChoices& read, Record& written);

// Stores one profile item per stored field, with the value the record holds, under
// controller 0's type name and name, saving the file after each item (bSaveEach)
// and once at the end (bSaveAtEnd). False when there is no store or controller, or
// when an item or the file could not be written.
bool StoreProfile(CConfigParser* pStore, const Fields& fields, const void* record, bool bSaveEach, bool bSaveAtEnd);

} // namespace memory

// Table entries: the box's form member, the record field (or its offset), the name
// of its value list (Get<list>List), the choice text and the profile key.
#define MEMORY_VALUE_FIELD(ppBox, offset, list, pattern, key) \
    memory::Field{ppBox, offset, memory::fkValue, &IMemoryControllerDevice::Get##list##List, pattern, key, false}
#define MEMORY_TIMING_FIELD(ppBox, field, list, pattern, key) \
    MEMORY_VALUE_FIELD(ppBox, offsetof(MEMORY_TIMING, field), list, pattern, key)
#define MEMORY_CONFIG_FIELD(ppBox, field, list, pattern, key) \
    MEMORY_VALUE_FIELD(ppBox, offsetof(MEMORY_CONFIG, field), list, pattern, key)
// Channel B's value follows channel A's in each two-value field.
#define MEMORY_CHANNEL_B_FIELD(ppBox, field, pattern, key) \
    MEMORY_VALUE_FIELD(ppBox, offsetof(MEMORY_CONFIG, field) + sizeof(double), field, pattern, key)
#define MEMORY_FLAG_FIELD(ppBox, field, kind, key) \
    memory::Field{ppBox, offsetof(MEMORY_CONFIG, field), kind, nullptr, nullptr, key, false}
