#pragma once
// What start-up reads of the firmware: the SMBIOS BIOS vendor (the board id when
// the preferences name none) and whether the BIOS offers a CMOS item.
#include <QByteArray>

#include "Engine/SMBIOS.h"

class StartupFirmware {
public:
    // False only logs: start-up goes on with whatever the records hold.
    bool InitSmbios() { return m_smbios.Init(); }
    QByteArray BiosVendor() const;
    static bool HasCmosItem(const char* pszName);

private:
    CSMBIOS m_smbios;
};
