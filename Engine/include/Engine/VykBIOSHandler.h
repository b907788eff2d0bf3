#pragma once
// The firmware's typed methods on VYK_ACPI: values, info words, object ids, thermal
// zones and fan tables, carried in named package objects. One object, m_Self, with
// its own connection to "root\wmi".
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Engine/WmiHandler.h"

struct _ZONE_INFO {
    uint8_t ZoneStatus;
    uint8_t Zone0Mode;
    uint8_t Zone1Mode;
    uint8_t Zone2Mode;
    uint8_t Zone3Mode;
    uint8_t ThermBufSize;
};
static_assert(sizeof(_ZONE_INFO) == 6);

// TCRT, TPSV, TC1, TC2, TSP and TACn carry the thermal-zone objects _CRT, _PSV, _TC1,
// _TC2, _TSP and _ACn; PWMn is the fan setting that goes with TACn.
struct _THERM_INFO {
    uint8_t ZoneNum;
    uint8_t TblVer;
    uint8_t ThermMode;
    uint8_t CurTemp;
    uint16_t CurFanSpd;
    uint8_t CurPWM;
    uint8_t TCRT;
    uint8_t TC1;
    uint8_t TC2;
    uint16_t TSP;
    uint8_t TPSV;
    uint8_t TAC0, PWM0, TAC1, PWM1, TAC2, PWM2, TAC3, PWM3;
    uint8_t TAC4, PWM4, TAC5, PWM5, TAC6, PWM6, TAC7, PWM7;
};
static_assert(sizeof(_THERM_INFO) == 30);
static_assert(offsetof(_THERM_INFO, CurFanSpd) == 4 && offsetof(_THERM_INFO, TSP) == 10);
static_assert(offsetof(_THERM_INFO, TPSV) == 12 && offsetof(_THERM_INFO, PWM7) == 28);

const unsigned OID_PACKAGE_ENTRIES = 9;
struct _OIDPackage {
    uint8_t length;                              // valid entries, at most OID_PACKAGE_ENTRIES
    uint32_t ID[OID_PACKAGE_ENTRIES];
    uint32_t property[OID_PACKAGE_ENTRIES];
    char16_t IDstring[OID_PACKAGE_ENTRIES][64];  // terminated
};
static_assert(offsetof(_OIDPackage, ID) == 4 && offsetof(_OIDPackage, property) == 40);
static_assert(offsetof(_OIDPackage, IDstring) == 76 && sizeof(_OIDPackage) == 1228);

const unsigned VYK_FUNC_ID_COUNT = 54;
// What GetInfo (id, values) writes at most: the size of the firmware's packages.
const unsigned VYK_INFO_MAX_COUNT = 9;

class CVykBIOSHandler {
public:
    static CVykBIOSHandler& GetHandler() { return m_Self; }
    static CVykBIOSHandler m_Self;

    bool IsAvailable() const { return m_bAvailable; }
    CWmiHandler& GetWmiHandler() { return m_WmiHandler; }
    // The function ids read by InitFuncIDList (VYK_FUNC_ID_COUNT of them), or null.
    const uint32_t* GetFuncIDList() const { return m_pFuncIDList.get(); }

    bool Init();
    bool UnInit();
    bool InitFuncIDList();

    double GetValue(unsigned id);
    // False for a value that is not a number or does not fit 32 bits after truncation.
    bool SetValue(unsigned id, double value);
    // Writes at most VYK_INFO_MAX_COUNT values.
    bool GetInfo(unsigned id, unsigned* values);
    // Writes at most capacity values; *count receives how many.
    bool GetInfo(unsigned id, unsigned* values, unsigned capacity, unsigned* count);
    bool GetDValues(unsigned id, double* values, int& count);
    bool BiosRequest(unsigned request);
    bool GetObjectID(_OIDPackage& package);
    bool GetZoneInfo(_ZONE_INFO& info);
    bool SetZoneInfo(_ZONE_INFO& info);
    bool GetThermInfo(unsigned char zone, unsigned char mode, _THERM_INFO& info);
    bool SetThermInfo(_THERM_INFO& info);

private:
    CVykBIOSHandler() = default;
    CVykBIOSHandler(const CVykBIOSHandler&) = delete;
    CVykBIOSHandler& operator=(const CVykBIOSHandler&) = delete;

    CWmiHandler m_WmiHandler;
    std::unique_ptr<uint32_t[]> m_pFuncIDList;
    std::atomic<bool> m_bAvailable{true};
};
