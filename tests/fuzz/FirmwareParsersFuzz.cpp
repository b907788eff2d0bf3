// Feeds arbitrary firmware answers to the Engine's readers of them (command channel,
// CMOS items, BIOS information, value, info, object-id and thermal packages): no input
// may crash, hang or read out of bounds. LLVMFuzzerTestOneInput works with libFuzzer;
// without it, main runs N pseudo-random inputs (--runs N, --seed S) or the given files.
#include "FuzzMain.h"
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "Engine/VykBIOS.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"
#include "Platform/Wmi.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint32_t Below(uint32_t n) { return n ? (uint32_t(Byte()) | uint32_t(Byte()) << 8) % n : 0; }
    bool Done() const { return m_pos >= m_size; }
private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

const char16_t* const kNames[] = {
    u"Version", u"CommandList", u"CommandCount", u"List", u"Outbuf", u"Result", u"status", u"value",
    u"pack", u"x", u"length", u"DValueBuffer", u"ID", u"property", u"IDstring", u"ZoneStatus",
    u"ThermBufSize", u"Zone0Mode", u"Zone1Mode", u"Zone2Mode", u"Zone3Mode", u"CurTemp", u"CurFanSpd",
};
const uint16_t kTypes[] = {plat::VT_I4, plat::VT_UI1, plat::VT_UI2, plat::VT_UI4, plat::VT_BOOL, plat::VT_I2};

plat::VARIANT Value(Input& in, int depth);

plat::WbemObjectPtr Object(Input& in, int depth)
{
    plat::WbemObjectPtr o = plat::WbemClassObject::NewInstance(u"Fuzz");
    const uint32_t n = in.Below(8);
    for (uint32_t i = 0; i < n; ++i) {
        const plat::VARIANT v = Value(in, depth + 1);
        o->Put(kNames[in.Below(std::size(kNames))], &v);
    }
    return o;
}

plat::VARIANT Value(Input& in, int depth)
{
    switch (in.Below(depth > 2 ? 4 : 6)) {
    case 0:
        return plat::VARIANT{};
    case 1: {
        plat::VARIANT v;
        v.vt = kTypes[in.Below(std::size(kTypes))];
        v.llVal = int32_t(in.Below(0x10000) | in.Below(0x10000) << 16);
        return v;
    }
    case 2:
        return plat::MakeString(std::u16string(in.Below(100), u'x'));
    case 3: {
        const uint16_t vt = in.Below(4) == 0 ? uint16_t(plat::VT_BSTR) : kTypes[in.Below(4)];
        const uint32_t count = in.Below(3) == 0 ? in.Below(1200) : in.Below(70);
        plat::SafeArrayPtr a = plat::SafeArray::Create(vt, count);
        for (uint32_t i = 0; i < count && !in.Done(); ++i)
            vt == plat::VT_BSTR ? (void)a->PutString(i, std::u16string(in.Below(80), u'n')) : (void)a->PutElement(i, in.Byte());
        // A well-formed successful result now and then, so the readers behind the status get inputs too.
        if (vt == plat::VT_UI1 && count >= 4 && in.Below(2) == 0)
            for (uint32_t i = 0; i < 4; ++i)
                a->PutElement(i, 0);
        return plat::MakeArray(a);
    }
    default:
        return plat::MakeObject(Object(in, depth));
    }
}

class FuzzProvider final : public plat::IWmiProvider {
public:
    Input* input = nullptr;

    bool HasNamespace(const std::u16string&) override { return true; }
    plat::WbemObjectPtr GetClass(const std::u16string&, const std::u16string& className) override
    {
        std::vector<plat::WbemMethodInfo> methods;
        for (const char16_t* m : {u"QueryVersion", u"QueryCommandList", u"Init", u"UnInit", u"GetObjectID", u"GetZoneInfo"})
            methods.push_back({m, false, false, {}});
        for (const char16_t* m : {u"GetValue", u"GetInfo", u"GetDValues"})
            methods.push_back({m, false, false, {u"id"}});
        for (const char16_t* m : {u"BiosRequest", u"SetValue", u"SetZoneThermMode", u"SetThermInfo"})
            methods.push_back({m, false, false, {u"pack"}});
        methods.push_back({u"RunCMD", false, false, {u"Inbuf"}});
        methods.push_back({u"GetThermInfo", false, false, {u"inPack"}});
        plat::WbemObjectPtr cls = plat::WbemClassObject::NewClass(className, methods);
        const plat::VARIANT path = plat::MakeString(u"\\\\.\\root\\wmi:" + className);
        cls->Put(u"__PATH", &path);
        return cls;
    }
    bool GetInstances(const std::u16string&, const std::u16string&, std::vector<plat::WbemObjectPtr>* out) override
    {
        plat::WbemObjectPtr i = plat::WbemClassObject::NewInstance(u"VYK_ACPI");
        const plat::VARIANT path = plat::MakeString(u"\\\\.\\root\\wmi:VYK_ACPI.InstanceName=\"0\"");
        i->Put(u"__PATH", &path);
        out->push_back(i);
        return true;
    }
    plat::HRESULT ExecMethod(const std::u16string&, const std::u16string&, const std::u16string&,
                             const plat::WbemObjectPtr&, plat::WbemObjectPtr* out) override
    {
        if (input->Below(16) == 0)
            return plat::WBEM_E_FAILED;
        if (input->Below(16) == 0)
            return plat::S_OK;                   // no out-parameters at all
        *out = Object(*input, 0);
        return plat::S_OK;
    }
};

FuzzProvider g_provider;

void Setup()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static QTemporaryDir stateDir;
    qputenv("VELOCREST_STATE_DIR", stateDir.path().toLocal8Bit());
    plat::SetWmiProvider(&g_provider);
    g_WMIHandler.Connect(u"root\\wmi");
    CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Setup();
    Input in(data, size);
    g_provider.input = &in;
    CVykBIOSHandler& h = CVykBIOSHandler::m_Self;
    uint8_t out[512];
    uint8_t command[256] = {};
    switch (in.Below(12)) {
    case 0: g_VykBIOS.Init(); break;
    case 1: g_VykBIOS.RunCommand(command, in.Below(300), out, in.Below(600)); break;
    case 2: g_CMOSItemList.Init(); g_CMOSItemList.FindItem("x"); g_CMOSItemList.GetItemValue(uint16_t(in.Below(9))); break;
    case 3: { CBIOSMiscInfo info; info.Init(); (void)std::strlen(info.GetVendorName()); break; }
    case 4: h.Init(); h.GetValue(in.Below(5)); break;
    case 5: { unsigned values[VYK_INFO_MAX_COUNT]; h.GetInfo(1, values); break; }
    case 6: { int count = int(in.Below(40)); std::vector<double> v(size_t(count) + 1); h.GetDValues(1, v.data(), count); h.GetDValues(1, nullptr, count); break; }
    case 7: { _OIDPackage p{}; h.GetObjectID(p); break; }
    case 8: h.InitFuncIDList(); break;
    case 9: { _ZONE_INFO z{}; h.GetZoneInfo(z); h.SetZoneInfo(z); break; }
    case 10: { _THERM_INFO t{}; h.GetThermInfo(0, 0, t); h.SetThermInfo(t); break; }
    default: h.SetValue(1, double(in.Below(1000)) - 500.5); h.UnInit(); break;
    }
    g_CMOSItemList.UnInit();
    return 0;
}

#ifndef VELOCREST_LIBFUZZER
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4096); }
#endif
