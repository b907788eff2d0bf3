// The namespaces of the simulated machine: "root\cimv2" (connectable, nothing the
// Engine uses) and "root\wmi" with the firmware class VYK_ACPI and its package
// classes. Values are translated between our VARIANTs and the firmware's QVariants.
#include "Platform/Wmi.h"

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/VykAcpi.h"

#include <QString>
#include <QStringList>

namespace plat {

namespace {

const char16_t kCimv2[] = u"root\\cimv2";
const char16_t kWmi[] = u"root\\wmi";
const char16_t kInstancePath[] = u"\\\\.\\root\\wmi:VYK_ACPI.InstanceName=\"ACPI\\\\PNP0C14\\\\0_%1\"";

const char* const kPackageClasses[] = {
    "BiosRequestPackage", "SetValuePackage", "ZoneInfoPackage", "GetThermInfoInPackage", "ThermInfoPackage",
};

bool EqualsNoCase(const std::u16string& a, const char16_t* b)
{
    return QString::fromStdU16String(a).compare(QString::fromUtf16(b), Qt::CaseInsensitive) == 0;
}

std::u16string U16(const QString& s) { return s.toStdU16String(); }

std::u16string ClassPath(const QString& className)
{
    return U16(QStringLiteral("\\\\.\\root\\wmi:") + className);
}

QVariant ToQt(const VARIANT& v);

template <class T>
QList<T> ListFrom(const SafeArray& a)
{
    QList<T> out;
    for (uint32_t i = 0; i < a.Count(); ++i) {
        int64_t n = 0;
        a.GetElement(i, &n);
        out.append(T(n));
    }
    return out;
}

QVariant ArrayToQt(const SafeArray& a)
{
    switch (a.ElementType()) {
    case VT_UI1: {
        QByteArray bytes(qsizetype(a.Count()), '\0');
        for (uint32_t i = 0; i < a.Count(); ++i) {
            int64_t n = 0;
            a.GetElement(i, &n);
            bytes[qsizetype(i)] = char(n);
        }
        return bytes;
    }
    case VT_UI4:
        return QVariant::fromValue(ListFrom<uint>(a));
    case VT_BSTR: {
        QStringList out;
        for (uint32_t i = 0; i < a.Count(); ++i) {
            std::u16string s;
            a.GetString(i, &s);
            out.append(QString::fromStdU16String(s));
        }
        return out;
    }
    default:
        return QVariant::fromValue(ListFrom<int>(a));
    }
}

QVariant ToQt(const VARIANT& v)
{
    if ((v.vt & VT_ARRAY) && v.parray)
        return ArrayToQt(*v.parray);
    switch (v.vt) {
    case VT_I4: case VT_I2: case VT_I1: case VT_BOOL: return int(v.llVal);
    case VT_UI1: return QVariant::fromValue(uchar(v.llVal));
    case VT_UI2: return QVariant::fromValue(ushort(v.llVal));
    case VT_UI4: return QVariant::fromValue(uint(v.llVal));
    case VT_BSTR: return QString::fromStdU16String(v.bstrVal);
    case VT_UNKNOWN: {
        if (!v.punkVal)
            return {};
        QVariantMap map;
        map.insert(QStringLiteral("__CLASS"), QString::fromStdU16String(v.punkVal->ClassName()));
        for (const auto& [name, value] : v.punkVal->Properties())
            map.insert(QString::fromStdU16String(name), ToQt(value));
        return map;
    }
    default:
        return {};
    }
}

template <class T>
SafeArrayPtr ArrayOf(uint16_t vt, const QList<T>& list)
{
    SafeArrayPtr a = SafeArray::Create(vt, uint32_t(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i)
        a->PutElement(uint32_t(i), int64_t(list[i]));
    return a;
}

VARIANT FromQt(const QVariant& q)
{
    switch (q.typeId()) {
    case QMetaType::Int: return MakeI4(q.toInt());
    case QMetaType::UChar: return MakeUI1(q.value<uchar>());
    case QMetaType::UShort: return MakeUI2(q.value<ushort>());
    case QMetaType::UInt: return MakeUI4(q.toUInt());
    case QMetaType::QString: return MakeString(U16(q.toString()));
    case QMetaType::QByteArray: {
        const QByteArray b = q.toByteArray();
        SafeArrayPtr a = SafeArray::Create(VT_UI1, uint32_t(b.size()));
        for (qsizetype i = 0; i < b.size(); ++i)
            a->PutElement(uint32_t(i), uint8_t(b[i]));
        return MakeArray(a);
    }
    case QMetaType::QStringList: {
        const QStringList l = q.toStringList();
        SafeArrayPtr a = SafeArray::Create(VT_BSTR, uint32_t(l.size()));
        for (qsizetype i = 0; i < l.size(); ++i)
            a->PutString(uint32_t(i), U16(l[i]));
        return MakeArray(a);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap m = q.toMap();
        WbemObjectPtr o = WbemClassObject::NewInstance(U16(m.value(QStringLiteral("__CLASS")).toString()));
        for (auto it = m.begin(); it != m.end(); ++it)
            if (it.key() != QLatin1String("__CLASS")) {
                const VARIANT value = FromQt(it.value());
                o->Put(U16(it.key()).c_str(), &value);
            }
        return MakeObject(o);
    }
    default:
        if (q.metaType() == QMetaType::fromType<QList<int>>())
            return MakeArray(ArrayOf(VT_I4, q.value<QList<int>>()));
        if (q.metaType() == QMetaType::fromType<QList<uint>>())
            return MakeArray(ArrayOf(VT_UI4, q.value<QList<uint>>()));
        return VARIANT{};
    }
}

class FirmwareProvider final : public IWmiProvider {
public:
    bool HasNamespace(const std::u16string& ns) override { return EqualsNoCase(ns, kCimv2) || EqualsNoCase(ns, kWmi); }

    WbemObjectPtr GetClass(const std::u16string& ns, const std::u16string& className) override
    {
        if (!EqualsNoCase(ns, kWmi))
            return nullptr;
        vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
        WbemObjectPtr object;
        if (EqualsNoCase(className, u"VYK_ACPI")) {
            if (!acpi.IsPresent())
                return nullptr;
            std::vector<WbemMethodInfo> methods;
            for (const vb::WmiMethodSpec& m : acpi.Methods()) {
                WbemMethodInfo info;
                info.name = U16(m.name);
                info.isStatic = m.isStatic;
                for (const QString& p : m.inParameters)
                    info.inParameters.push_back(U16(p));
                methods.push_back(info);
            }
            object = WbemClassObject::NewClass(u"VYK_ACPI", methods);
        } else {
            for (const char* name : kPackageClasses)
                if (acpi.IsPresent() && EqualsNoCase(className, U16(QString::fromLatin1(name)).c_str()))
                    object = WbemClassObject::NewClass(U16(QString::fromLatin1(name)));
            if (!object)
                return nullptr;
        }
        const VARIANT path = MakeString(ClassPath(QString::fromStdU16String(object->ClassName())));
        object->Put(u"__PATH", &path);
        return object;
    }

    bool GetInstances(const std::u16string& ns, const std::u16string& className,
                      std::vector<WbemObjectPtr>* instances) override
    {
        if (!EqualsNoCase(ns, kWmi) || !EqualsNoCase(className, u"VYK_ACPI"))
            return false;
        vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
        if (!acpi.IsPresent())
            return false;
        for (int i = 0; i < acpi.InstanceCount(); ++i) {
            WbemObjectPtr instance = WbemClassObject::NewInstance(u"VYK_ACPI");
            const VARIANT path = MakeString(U16(QString::fromStdU16String(kInstancePath).arg(i)));
            instance->Put(u"__PATH", &path);
            instances->push_back(instance);
        }
        return true;
    }

    HRESULT ExecMethod(const std::u16string& ns, const std::u16string& path, const std::u16string& method,
                       const WbemObjectPtr& inParams, WbemObjectPtr* outParams) override
    {
        std::string line = "wmi: ExecMethod " + QString::fromStdU16String(path).toStdString() + " "
                           + QString::fromStdU16String(method).toStdString();
        QVariantMap in;
        if (inParams)
            for (const auto& [name, value] : inParams->Properties()) {
                line += " " + QString::fromStdU16String(name).toStdString() + "=" + DescribeVariant(value);
                in.insert(QString::fromStdU16String(name), ToQt(value));
            }
        const QString name = QString::fromStdU16String(method);
        const HRESULT hr = Run(ns, QString::fromStdU16String(path), name, in, outParams);
        // The pages poll the firmware: a read that worked joins only the short trace.
        vb::Machine::Instance().GetJournal().Note(std::move(line), hr == S_OK && vb::VykAcpi::IsRead(name, in));
        return hr;
    }

private:
    HRESULT Run(const std::u16string& ns, const QString& path, const QString& name, const QVariantMap& in,
                WbemObjectPtr* outParams)
    {
        WbemObjectPtr cls = GetClass(ns, u"VYK_ACPI");
        if (!cls || !path.contains(QLatin1String(":VYK_ACPI"), Qt::CaseInsensitive))
            return WBEM_E_NOT_FOUND;
        vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
        bool known = false, isStatic = false;
        for (const vb::WmiMethodSpec& m : acpi.Methods())
            if (m.name == name) {
                known = true;
                isStatic = m.isStatic;
            }
        if (!known)
            return WBEM_E_INVALID_METHOD;
        const bool onInstance = path.section(QLatin1Char(':'), 1).contains(QLatin1Char('.'));
        if (!isStatic && !onInstance)
            return WBEM_E_INVALID_METHOD;       // an instance method needs an instance
        QVariantMap out;
        if (!acpi.Invoke(name, in, &out))
            return WBEM_E_FAILED;
        if (!out.isEmpty()) {
            WbemObjectPtr params = WbemClassObject::NewInstance(u"__PARAMETERS");
            for (auto it = out.begin(); it != out.end(); ++it) {
                const VARIANT value = FromQt(it.value());
                params->Put(U16(it.key()).c_str(), &value);
            }
            *outParams = params;
        }
        return S_OK;
    }
};

} // namespace

IWmiProvider& FirmwareWmiProvider()
{
    static FirmwareProvider provider;
    return provider;
}

} // namespace plat
