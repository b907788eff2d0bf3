#pragma once
// What start-up reads of the firmware: the SMBIOS BIOS vendor (the board id when
// the preferences name none) and whether the BIOS offers a CMOS item.
#include <QByteArray>

#include <memory>

class StartupFirmware {
public:
    StartupFirmware();
    ~StartupFirmware();
    // False only logs: start-up goes on with whatever the records hold.
    bool InitSmbios();
    QByteArray BiosVendor() const;
    static bool HasCmosItem(const char* pszName);

private:
    struct Tables;
    std::unique_ptr<Tables> m_pTables;
};
