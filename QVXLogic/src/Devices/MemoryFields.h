#pragma once
// Where each memory-controller field sits in its record, its name in the board
// state and in the profile, and the value list it is chosen from.
#include <cstddef>

#include "QVXLogic/Records.h"

namespace qvx {

enum FieldKind { fkDouble, fkFlag, fkReadOnlyFlag };

struct MemoryField {
    const char* name;         // board-state key
    const char* profileKey;   // item name in profiles
    size_t offset;            // in MEMORY_TIMING or MEMORY_CONFIG
    FieldKind kind;
    int list;                 // MEMORY_FIELD, or -1 without a list
};

extern const MemoryField kTimingFields[20];
extern const MemoryField kConfigFields[];
extern const size_t kConfigFieldCount;
extern const char* const kListNames[mfCount];

} // namespace qvx
