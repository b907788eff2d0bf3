// Feeds arbitrary firmware answers to the Engine's readers of them (command channel,
// CMOS items, BIOS information, value, info, object-id and thermal packages): no input
// may crash, hang or read out of bounds. LLVMFuzzerTestOneInput works with libFuzzer;
// without it, main runs N pseudo-random inputs (--runs N, --seed S) or the given files.
//
// Input: which reader runs and two numbers for its arguments, then one answer per
// firmware method it calls (failed, empty, or an object of typed properties). The
// seeds are the default board's own answers to each reader, written in this form.
#include "FuzzMain.h"
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "Engine/VykBIOS.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"
#include "Platform/Wmi.h"

namespace {

// Reads the input; every value is taken in a fixed order, so that seeds written by
// one compiler read the same under another.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint32_t Below(uint32_t n)
    {
        const uint32_t low = Byte();
        const uint32_t high = Byte();
        return n ? (low | high << 8) % n : 0;
    }
    uint32_t Word()
    {
        const uint32_t low = Below(0x10000);
        const uint32_t high = Below(0x10000);
        return low | high << 16;
    }
    bool Done() const { return m_pos >= m_size; }
private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Writes what Input reads back.
class Output {
public:
    void Byte(uint32_t v) { bytes.append(static_cast<char>(v & 0xFF)); }
    void Below(uint32_t v)
    {
        Byte(v);
        Byte(v >> 8);
    }
    void Word(uint32_t v)
    {
        Below(v & 0xFFFF);
        Below(v >> 16);
    }
    QByteArray bytes;
};

const char16_t* const kNames[] = {
    u"Version", u"CommandList", u"CommandCount", u"List", u"Outbuf", u"Result", u"status", u"value",
    u"pack", u"x", u"length", u"DValueBuffer", u"ID", u"property", u"IDstring", u"ZoneStatus",
    u"ThermBufSize", u"Zone0Mode", u"Zone1Mode", u"Zone2Mode", u"Zone3Mode", u"CurTemp", u"CurFanSpd",
};
const uint16_t kTypes[] = {plat::VT_I4, plat::VT_UI1, plat::VT_UI2, plat::VT_UI4, plat::VT_BOOL, plat::VT_I2};
enum Kind { kEmpty, kInteger, kText, kArray, kObject };

int IndexOf(const std::u16string& name)
{
    for (size_t i = 0; i < std::size(kNames); ++i)
        if (name == kNames[i])
            return static_cast<int>(i);
    return -1;
}

int TypeIndex(uint16_t vt, size_t among)
{
    for (size_t i = 0; i < among; ++i)
        if (kTypes[i] == vt)
            return static_cast<int>(i);
    return 0;
}

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
    switch (in.Below(depth > 2 ? kObject : kObject + 2)) {
    case kEmpty:
        return plat::VARIANT{};
    case kInteger: {
        plat::VARIANT v;
        v.vt = kTypes[in.Below(std::size(kTypes))];
        v.llVal = static_cast<int32_t>(in.Word());
        return v;
    }
    case kText:
        return plat::MakeString(std::u16string(in.Below(100), u'x'));
    case kArray: {
        const bool texts = in.Below(4) == 0;
        const uint16_t vt = texts ? uint16_t(plat::VT_BSTR) : kTypes[in.Below(4)];
        const bool large = in.Below(3) == 0;
        const uint32_t count = large ? in.Below(1200) : in.Below(70);
        plat::SafeArrayPtr a = plat::SafeArray::Create(vt, count);
        for (uint32_t i = 0; i < count && !in.Done(); ++i) {
            if (texts)
                a->PutString(i, std::u16string(in.Below(80), u'n'));
            else
                a->PutElement(i, vt == plat::VT_UI1 ? in.Byte() : in.Word());
        }
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

void PutValue(Output& out, const plat::VARIANT& v, int depth);

void PutObject(Output& out, const plat::WbemObjectPtr& o, int depth)
{
    // Only the names the readers ask for can be written; seven at most.
    std::vector<std::pair<int, plat::VARIANT>> properties;
    for (const auto& [name, value] : o->Properties())
        if (IndexOf(name) >= 0 && properties.size() < 7)
            properties.emplace_back(IndexOf(name), value);
    out.Below(static_cast<uint32_t>(properties.size()));
    for (const auto& [index, value] : properties) {
        PutValue(out, value, depth + 1);
        out.Below(static_cast<uint32_t>(index));
    }
}

void PutValue(Output& out, const plat::VARIANT& v, int depth)
{
    if (plat::IsIntegerType(v.vt)) {
        out.Below(kInteger);
        out.Below(static_cast<uint32_t>(TypeIndex(v.vt, std::size(kTypes))));
        out.Word(static_cast<uint32_t>(v.llVal));
    } else if (v.vt == plat::VT_BSTR) {
        out.Below(kText);
        out.Below(static_cast<uint32_t>(std::min<size_t>(v.bstrVal.size(), 99)));
    } else if ((v.vt & plat::VT_ARRAY) && v.parray) {
        const plat::SafeArray& a = *v.parray;
        const bool texts = a.ElementType() == plat::VT_BSTR;
        const uint32_t count = std::min<uint32_t>(a.Count(), 1199);
        out.Below(kArray);
        out.Below(texts ? 0 : 1);
        if (!texts)
            out.Below(static_cast<uint32_t>(TypeIndex(a.ElementType(), 4)));
        out.Below(count < 70 ? 1 : 0);
        out.Below(count);
        for (uint32_t i = 0; i < count; ++i) {
            std::u16string text;
            int64_t element = 0;
            if (texts && a.GetString(i, &text))
                out.Below(static_cast<uint32_t>(std::min<size_t>(text.size(), 79)));
            else if (!texts && a.GetElement(i, &element))
                a.ElementType() == plat::VT_UI1 ? out.Byte(static_cast<uint32_t>(element)) : out.Word(static_cast<uint32_t>(element));
        }
        if (a.ElementType() == plat::VT_UI1 && count >= 4)
            out.Below(1);
    } else if (v.punkVal && depth <= 2) {
        out.Below(kObject);
        PutObject(out, v.punkVal, depth);
    } else {
        out.Below(kEmpty);
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

// The board's firmware, with every answer it gives written down in the input's form.
class Recorder final : public plat::IWmiProvider {
public:
    explicit Recorder(plat::IWmiProvider& firmware) : m_firmware(firmware) {}
    Output answers;

    bool HasNamespace(const std::u16string& ns) override { return m_firmware.HasNamespace(ns); }
    plat::WbemObjectPtr GetClass(const std::u16string& ns, const std::u16string& className) override
    {
        return m_firmware.GetClass(ns, className);
    }
    bool GetInstances(const std::u16string& ns, const std::u16string& className,
                      std::vector<plat::WbemObjectPtr>* instances) override
    {
        return m_firmware.GetInstances(ns, className, instances);
    }
    plat::HRESULT ExecMethod(const std::u16string& ns, const std::u16string& path, const std::u16string& method,
                             const plat::WbemObjectPtr& in, plat::WbemObjectPtr* out) override
    {
        const plat::HRESULT hr = m_firmware.ExecMethod(ns, path, method, in, out);
        answers.Below(plat::Failed(hr) ? 0 : 1);
        if (!plat::Failed(hr)) {
            answers.Below(*out ? 1 : 0);
            if (*out)
                PutObject(answers, *out, 0);
        }
        return hr;
    }
private:
    plat::IWmiProvider& m_firmware;
};

FuzzProvider g_provider;
constexpr uint32_t kReaders = 12;

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

// Runs one reader; true when it took its answers.
bool RunReader(uint32_t which, uint32_t a, uint32_t b)
{
    CVykBIOSHandler& h = CVykBIOSHandler::m_Self;
    uint8_t out[512];
    uint8_t command[256] = {};
    bool ok = false;
    switch (which) {
    case 0: ok = g_VykBIOS.Init(); break;
    case 1: ok = g_VykBIOS.RunCommand(command, a % 300, out, b % 600) != briEngineFailure; break;
    case 2:
        ok = g_CMOSItemList.Init();
        g_CMOSItemList.FindItem("x");
        g_CMOSItemList.GetItemValue(uint16_t(a % 9));
        break;
    case 3: { CBIOSMiscInfo info; ok = info.Init(); (void)std::strlen(info.GetVendorName()); break; }
    case 4: ok = h.Init(); h.GetValue(a % 5); break;
    case 5: { unsigned values[VYK_INFO_MAX_COUNT]; ok = h.GetInfo(1, values); break; }
    case 6: {
        int count = int(a % 40);
        std::vector<double> v(size_t(count) + 1);
        ok = h.GetDValues(1, v.data(), count);
        h.GetDValues(1, nullptr, count);
        break;
    }
    case 7: { _OIDPackage p{}; ok = h.GetObjectID(p); break; }
    case 8: ok = h.InitFuncIDList(); break;
    case 9: { _ZONE_INFO z{}; ok = h.GetZoneInfo(z) && h.SetZoneInfo(z); break; }
    case 10: { _THERM_INFO t{}; ok = h.GetThermInfo(0, 0, t) && h.SetThermInfo(t); break; }
    default: ok = h.SetValue(1, double(a) - 500.5); h.UnInit(); break;
    }
    g_CMOSItemList.UnInit();
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Setup();
    Input in(data, size);
    const uint32_t which = in.Below(kReaders);
    const uint32_t a = in.Below(1000);
    const uint32_t b = in.Below(1000);
    g_provider.input = &in;
    if (RunReader(which, a, b))
        fuzz::Reached();
    return 0;
}

// Seeds: each reader with arguments it accepts, answered by the default board.
[[maybe_unused]] static fuzz::Seeds Seeds()
{
    Setup();
    const uint32_t arguments[kReaders][2] = {{0, 0}, {256, 512}, {1, 0}, {0, 0}, {1, 0}, {0, 0},
                                             {8, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {540, 0}};
    plat::SetWmiProvider(nullptr);
    plat::IWmiProvider& board = plat::WmiProvider();
    fuzz::Seeds seeds;
    for (uint32_t which = 0; which < kReaders; ++which) {
        Recorder recorder(board);
        plat::SetWmiProvider(&recorder);
        RunReader(which, arguments[which][0], arguments[which][1]);
        Output input;
        input.Below(which);
        input.Below(arguments[which][0]);
        input.Below(arguments[which][1]);
        seeds.emplace_back("reader-" + std::to_string(which), input.bytes + recorder.answers.bytes);
    }
    plat::SetWmiProvider(&g_provider);
    return seeds;
}

#ifndef VELOCREST_LIBFUZZER
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4096, nullptr, &Seeds); }
#endif
