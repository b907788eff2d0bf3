// Values and arrays of the management object model.
#include "Platform/Wmi.h"

#include <QString>

#include <cstring>

namespace plat {

void VariantInit(VARIANT* v)
{
    if (v)
        *v = VARIANT{};
}

void VariantClear(VARIANT* v) { VariantInit(v); }

bool IsIntegerType(uint16_t vt)
{
    switch (vt) {
    case VT_I1: case VT_I2: case VT_I4: case VT_UI1: case VT_UI2: case VT_UI4: case VT_BOOL:
        return true;
    default:
        return false;
    }
}

static VARIANT MakeInt(uint16_t vt, int64_t v)
{
    VARIANT out;
    out.vt = vt;
    out.llVal = v;
    return out;
}

VARIANT MakeI4(int32_t v) { return MakeInt(VT_I4, v); }
VARIANT MakeUI1(uint8_t v) { return MakeInt(VT_UI1, v); }
VARIANT MakeUI2(uint16_t v) { return MakeInt(VT_UI2, v); }
VARIANT MakeUI4(uint32_t v) { return MakeInt(VT_UI4, v); }
VARIANT MakeBool(bool v) { return MakeInt(VT_BOOL, v ? VARIANT_TRUE : VARIANT_FALSE); }

VARIANT MakeString(std::u16string v)
{
    VARIANT out;
    out.vt = VT_BSTR;
    out.bstrVal = std::move(v);
    return out;
}

VARIANT MakeObject(WbemObjectPtr object)
{
    VARIANT out;
    out.vt = object ? VT_UNKNOWN : VT_EMPTY;
    out.punkVal = std::move(object);
    return out;
}

VARIANT MakeArray(SafeArrayPtr array)
{
    VARIANT out;
    if (array) {
        out.vt = uint16_t(VT_ARRAY | array->ElementType());
        out.parray = std::move(array);
    }
    return out;
}

static uint32_t SizeOf(uint16_t vt)
{
    switch (vt) {
    case VT_UI1: case VT_I1: return 1;
    case VT_UI2: case VT_I2: return 2;
    case VT_I4: case VT_UI4: return 4;
    default: return 0;
    }
}

SafeArray::SafeArray(uint16_t vt, uint32_t count) : m_vt(vt), m_count(count)
{
    if (vt == VT_BSTR)
        m_strings.resize(count);
    else
        m_bytes.resize(size_t(count) * SizeOf(vt));
}

SafeArrayPtr SafeArray::Create(uint16_t elementType, uint32_t count)
{
    if (elementType != VT_BSTR && SizeOf(elementType) == 0)
        return nullptr;
    if (count > (1u << 24))                      // far beyond anything the firmware hands over
        return nullptr;
    return SafeArrayPtr(new SafeArray(elementType, count));
}

uint32_t SafeArray::ElementSize() const { return m_vt == VT_BSTR ? 0 : SizeOf(m_vt); }

void* SafeArray::Data() { return m_bytes.empty() ? nullptr : m_bytes.data(); }
const void* SafeArray::Data() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }

bool SafeArray::GetElement(uint32_t index, int64_t* value) const
{
    if (m_vt == VT_BSTR || index >= m_count || !value)
        return false;
    const uint8_t* p = m_bytes.data() + size_t(index) * SizeOf(m_vt);
    switch (m_vt) {
    case VT_UI1: *value = p[0]; break;
    case VT_I1: *value = int8_t(p[0]); break;
    case VT_UI2: { uint16_t v; std::memcpy(&v, p, 2); *value = v; break; }
    case VT_I2: { int16_t v; std::memcpy(&v, p, 2); *value = v; break; }
    case VT_UI4: { uint32_t v; std::memcpy(&v, p, 4); *value = v; break; }
    default: { int32_t v; std::memcpy(&v, p, 4); *value = v; break; }
    }
    return true;
}

bool SafeArray::PutElement(uint32_t index, int64_t value)
{
    if (m_vt == VT_BSTR || index >= m_count)
        return false;
    const uint64_t bits = uint64_t(value);
    std::memcpy(m_bytes.data() + size_t(index) * SizeOf(m_vt), &bits, SizeOf(m_vt));   // little-endian host
    return true;
}

bool SafeArray::GetString(uint32_t index, std::u16string* value) const
{
    if (m_vt != VT_BSTR || index >= m_count || !value)
        return false;
    *value = m_strings[index];
    return true;
}

bool SafeArray::PutString(uint32_t index, std::u16string value)
{
    if (m_vt != VT_BSTR || index >= m_count)
        return false;
    m_strings[index] = std::move(value);
    return true;
}

static const char* TypeName(uint16_t vt)
{
    switch (vt & ~VT_ARRAY) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I1: return "I1";
    case VT_I2: return "I2";
    case VT_I4: return "I4";
    case VT_UI1: return "UI1";
    case VT_UI2: return "UI2";
    case VT_UI4: return "UI4";
    case VT_BOOL: return "BOOL";
    case VT_BSTR: return "BSTR";
    case VT_UNKNOWN: return "OBJECT";
    default: return "?";
    }
}

std::string DescribeVariant(const VARIANT& v)
{
    std::string out = std::string(TypeName(v.vt)) + ((v.vt & VT_ARRAY) ? "[]:" : ":");
    if (v.vt & VT_ARRAY) {
        out += "[";
        for (uint32_t i = 0; v.parray && i < v.parray->Count(); ++i) {
            if (i)
                out += ",";
            int64_t n = 0;
            std::u16string s;
            if (v.parray->GetElement(i, &n))
                out += std::to_string(n);
            else if (v.parray->GetString(i, &s))
                out += QString::fromStdU16String(s).toStdString();
        }
        return out + "]";
    }
    if (IsIntegerType(v.vt))
        return out + std::to_string(v.llVal);
    if (v.vt == VT_BSTR)
        return out + QString::fromStdU16String(v.bstrVal).toStdString();
    if (v.vt == VT_UNKNOWN && v.punkVal) {
        out = QString::fromStdU16String(v.punkVal->ClassName()).toStdString() + "{";
        bool first = true;
        for (const auto& [name, value] : v.punkVal->Properties()) {
            if (name.rfind(u"__", 0) == 0)
                continue;
            out += (first ? "" : ",") + QString::fromStdU16String(name).toStdString() + "=" + DescribeVariant(value);
            first = false;
        }
        return out + "}";
    }
    return out;
}

} // namespace plat
