// Thermal zones and fan tables of CVykBIOSHandler.
#include "Engine/VykBIOSHandler.h"

#include "FirmwareCheck.h"
#include "WmiValue.h"

#include <cstring>

using plat::VT_EMPTY;

namespace {

struct ByteField {
    const char16_t* name;
    size_t offset;
    bool wide;                                   // UI2 rather than UI1
};

// The zone package's bytes, in the record.
const ByteField kZoneFields[] = {
    {u"ZoneStatus", offsetof(_ZONE_INFO, ZoneStatus), false},
    {u"ThermBufSize", offsetof(_ZONE_INFO, ThermBufSize), false},
    {u"Zone0Mode", offsetof(_ZONE_INFO, Zone0Mode), false},
    {u"Zone1Mode", offsetof(_ZONE_INFO, Zone1Mode), false},
    {u"Zone2Mode", offsetof(_ZONE_INFO, Zone2Mode), false},
    {u"Zone3Mode", offsetof(_ZONE_INFO, Zone3Mode), false},
};

#define THERM(field, wide) {u## #field, offsetof(_THERM_INFO, field), wide}
// "ThermInfoPackage" in the order its properties are put.
const ByteField kThermFields[] = {
    THERM(ZoneNum, false), THERM(TblVer, false), THERM(ThermMode, false), THERM(CurTemp, false),
    THERM(CurPWM, false), THERM(CurFanSpd, true), THERM(TCRT, false), THERM(TPSV, false),
    THERM(TC1, false), THERM(TC2, false), THERM(TSP, true),
    THERM(TAC0, false), THERM(PWM0, false), THERM(TAC1, false), THERM(PWM1, false),
    THERM(TAC2, false), THERM(PWM2, false), THERM(TAC3, false), THERM(PWM3, false),
    THERM(TAC4, false), THERM(PWM4, false), THERM(TAC5, false), THERM(PWM5, false),
    THERM(TAC6, false), THERM(PWM6, false), THERM(TAC7, false), THERM(PWM7, false),
};
#undef THERM

plat::VARIANT FieldValue(const void* record, const ByteField& f)
{
    const uint8_t* p = static_cast<const uint8_t*>(record) + f.offset;
    if (!f.wide)
        return plat::MakeUI1(*p);
    uint16_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return plat::MakeUI2(v);
}

// Reads one integer property into the record's field; false when absent or not a number.
bool ReadField(const plat::WbemObjectPtr& pack, void* record, const ByteField& f)
{
    int64_t v = 0;
    if (!g_GetIntProperty(pack, f.name, &v))
        return false;
    uint8_t* p = static_cast<uint8_t*>(record) + f.offset;
    if (f.wide) {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, sizeof w);
    } else {
        *p = static_cast<uint8_t>(v);
    }
    return true;
}

} // namespace

bool CVykBIOSHandler::GetZoneInfo(_ZONE_INFO& info)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    plat::VARIANT varOut;
    bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetZoneInfo", nullptr, nullptr, u"pack", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY);
    const plat::WbemObjectPtr pZoneInfoPackage = g_VariantObject(varOut);
    LOG_PROCESS_ERROR(pZoneInfoPackage);
    _ZONE_INFO read = info;                      // the caller's record changes only when all reads succeed
    for (const ByteField& f : kZoneFields) {
        bRetCode = ReadField(pZoneInfoPackage, &read, f);
        LOG_PROCESS_ERROR(bRetCode);
    }
    info = read;
    return true;
}

bool CVykBIOSHandler::SetZoneInfo(_ZONE_INFO& info)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    const plat::WbemObjectPtr pPackageClass = m_WmiHandler.GetObjectW(u"ZoneInfoPackage");
    LOG_PROCESS_ERROR(pPackageClass);
    plat::HRESULT hr = plat::S_OK;
    for (const ByteField& f : kZoneFields) {
        const plat::VARIANT value = FieldValue(&info, f);
        hr = pPackageClass->Put(f.name, &value);
        LOG_COM_PROCESS_ERROR(hr);
    }
    const plat::VARIANT varReserved = plat::MakeArray(plat::SafeArray::Create(plat::VT_UI1, 10));
    hr = pPackageClass->Put(u"Reserved", &varReserved);
    LOG_COM_PROCESS_ERROR(hr);
    plat::VARIANT varIn = plat::MakeObject(pPackageClass);
    const bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"SetZoneThermMode", u"pack", &varIn, nullptr, nullptr);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CVykBIOSHandler::GetThermInfo(unsigned char zone, unsigned char mode, _THERM_INFO& info)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    const plat::WbemObjectPtr pInPackage = m_WmiHandler.GetObjectW(u"GetThermInfoInPackage");
    const plat::HRESULT hr = pInPackage ? plat::S_OK : plat::WBEM_E_NOT_FOUND;
    LOG_COM_PROCESS_ERROR(hr);
    const plat::VARIANT varZone = plat::MakeUI1(zone), varMode = plat::MakeUI1(mode);
    pInPackage->Put(u"ZoneNum", &varZone);
    pInPackage->Put(u"ThermMode", &varMode);
    plat::VARIANT varIn = plat::MakeObject(pInPackage), varOut;
    bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetThermInfo", u"inPack", &varIn, u"pack", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    const plat::WbemObjectPtr pThermInfoPackage = g_VariantObject(varOut);
    LOG_PROCESS_ERROR(pThermInfoPackage);
    // Only the live readings; every other field keeps the caller's value.
    _THERM_INFO read = info;
    bRetCode = ReadField(pThermInfoPackage, &read, {u"CurTemp", offsetof(_THERM_INFO, CurTemp), false})
               && ReadField(pThermInfoPackage, &read, {u"CurFanSpd", offsetof(_THERM_INFO, CurFanSpd), true});
    LOG_PROCESS_ERROR(bRetCode);
    info = read;
    return true;
}

bool CVykBIOSHandler::SetThermInfo(_THERM_INFO& info)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    const plat::WbemObjectPtr pPackageClass = m_WmiHandler.GetObjectW(u"ThermInfoPackage");
    plat::HRESULT hr = pPackageClass ? plat::S_OK : plat::WBEM_E_NOT_FOUND;
    LOG_COM_PROCESS_ERROR(hr);
    for (const ByteField& f : kThermFields) {
        const plat::VARIANT value = FieldValue(&info, f);
        hr = pPackageClass->Put(f.name, &value);
        LOG_COM_PROCESS_ERROR(hr);
    }
    plat::VARIANT varIn = plat::MakeObject(pPackageClass);
    const bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"SetThermInfo", u"pack", &varIn, nullptr, nullptr);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}
