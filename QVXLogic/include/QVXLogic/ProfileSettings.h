#pragma once
// Hardware profiles: the current settings written to, and applied from, a file in
// the XML value store's format (so the program's "QVXConfig.xml" applies as a
// profile). GUI thread only; the object holds no state, so copies are cheap.
// Fault: "qvx:Profile.SaveSettings" (the save is refused).
#include "QVXLogic/Types.h"

class QVXLOGIC_API CProfileSettgins {
public:
    static CProfileSettgins m_Self;

    CProfileSettgins() = default;
    CProfileSettgins(const CProfileSettgins&) = default;
    CProfileSettgins& operator=(const CProfileSettgins&) = default;

    bool SaveSettings(const char16_t* path);
    // False when the file is unreadable or malformed, or when a write was refused
    // (the remaining items are still applied).
    bool ApplySettings(const char16_t* path);
};
using CProfileSettings = CProfileSettgins;
