#pragma once
// Management instrumentation as the Engine uses it to reach the board firmware:
// connect to a namespace, fetch class objects and instances, read and write
// properties, and execute a method with in- and out-parameter objects.
//
// Our own small object model with the call shapes the Engine expects. Objects and
// arrays are reference counted by shared_ptr, so "release" is letting go of the
// pointer. Namespaces are served by a provider: by default the simulated machine's
// firmware; a test or the fuzz target can install another one.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace plat {

using HRESULT = int32_t;
enum : HRESULT {
    S_OK = 0,
    S_FALSE = 1,
    WBEM_S_TIMEDOUT = 0x00040004,
    E_FAIL = static_cast<HRESULT>(0x80004005),
    E_POINTER = static_cast<HRESULT>(0x80004003),
    WBEM_E_FAILED = static_cast<HRESULT>(0x80041001),
    WBEM_E_NOT_FOUND = static_cast<HRESULT>(0x80041002),
    WBEM_E_TYPE_MISMATCH = static_cast<HRESULT>(0x80041005),
    WBEM_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80041008),
    WBEM_E_INVALID_NAMESPACE = static_cast<HRESULT>(0x8004100E),
    WBEM_E_INVALID_CLASS = static_cast<HRESULT>(0x80041010),
    WBEM_E_INVALID_METHOD = static_cast<HRESULT>(0x8004102E),
    WBEM_E_ACCESS_DENIED = static_cast<HRESULT>(0x80041003),
};
inline bool Failed(HRESULT hr) { return hr < 0; }

// Enumeration flags and timeouts, with their usual values.
enum : int32_t {
    WBEM_FLAG_FORWARD_ONLY = 0x20,
    WBEM_FLAG_SHALLOW = 0x1,
    WBEM_FLAG_DIRECT_READ = 0x200,
    WBEM_INFINITE = -1,
};

enum VARENUM : uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_ARRAY = 0x2000,
};
enum : int16_t { VARIANT_TRUE = -1, VARIANT_FALSE = 0 };

class SafeArray;
class WbemClassObject;
using SafeArrayPtr = std::shared_ptr<SafeArray>;
using WbemObjectPtr = std::shared_ptr<WbemClassObject>;

// One value. Integers of every width (and VT_BOOL) are held in llVal; a text in
// bstrVal; an array (vt = VT_ARRAY | element type) in parray; an object in punkVal.
struct VARIANT {
    uint16_t vt = VT_EMPTY;
    int64_t llVal = 0;
    std::u16string bstrVal;
    SafeArrayPtr parray;
    WbemObjectPtr punkVal;
};
void VariantInit(VARIANT* v);
void VariantClear(VARIANT* v);
bool IsIntegerType(uint16_t vt);

VARIANT MakeI4(int32_t v);
VARIANT MakeUI1(uint8_t v);
VARIANT MakeUI2(uint16_t v);
VARIANT MakeUI4(uint32_t v);
VARIANT MakeBool(bool v);
VARIANT MakeString(std::u16string v);
VARIANT MakeObject(WbemObjectPtr object);
VARIANT MakeArray(SafeArrayPtr array);

// A one-dimensional array, lower bound 0, of integers (VT_UI1, VT_UI2, VT_I4,
// VT_UI4) or texts (VT_BSTR). Numbers are stored packed, little-endian.
class SafeArray {
public:
    // Null for an element type that arrays cannot hold.
    static SafeArrayPtr Create(uint16_t elementType, uint32_t count);

    uint16_t ElementType() const { return m_vt; }
    uint32_t Count() const { return m_count; }
    uint32_t ElementSize() const;
    // The packed elements; null for an empty array or an array of texts.
    void* Data();
    const void* Data() const;

    // Bounds-checked element access; false past the end or for the wrong kind.
    bool GetElement(uint32_t index, int64_t* value) const;
    bool PutElement(uint32_t index, int64_t value);
    bool GetString(uint32_t index, std::u16string* value) const;
    bool PutString(uint32_t index, std::u16string value);

private:
    SafeArray(uint16_t vt, uint32_t count);
    uint16_t m_vt;
    uint32_t m_count;
    std::vector<uint8_t> m_bytes;
    std::vector<std::u16string> m_strings;
};

class WbemQualifierSet {
public:
    explicit WbemQualifierSet(std::vector<std::pair<std::u16string, VARIANT>> values) : m_values(std::move(values)) {}
    HRESULT Get(const char16_t* name, VARIANT* value) const;
private:
    std::vector<std::pair<std::u16string, VARIANT>> m_values;
};

// A method of a class: whether it is static, and the names of its in-parameters.
struct WbemMethodInfo {
    std::u16string name;
    bool isStatic = false;
    bool hasStaticQualifier = false;           // a "Static" qualifier exists (true or false)
    std::vector<std::u16string> inParameters;
};

// A class object or an instance. Properties keep the order they were first put in.
// Thread-safe: property access is guarded by the object's own lock.
class WbemClassObject {
public:
    static WbemObjectPtr NewClass(std::u16string className, std::vector<WbemMethodInfo> methods = {});
    static WbemObjectPtr NewInstance(std::u16string className);

    HRESULT Get(const char16_t* name, VARIANT* value) const;
    // A class accepts any property name; an instance of a method's in-signature
    // only the names the signature declares.
    HRESULT Put(const char16_t* name, const VARIANT* value);
    HRESULT GetMethod(const char16_t* method, WbemObjectPtr* inSignature) const;
    HRESULT SpawnInstance(WbemObjectPtr* instance) const;
    HRESULT GetMethodQualifierSet(const char16_t* method, std::shared_ptr<WbemQualifierSet>* set) const;

    const std::u16string& ClassName() const { return m_className; }
    bool IsClass() const { return m_isClass; }
    std::vector<std::pair<std::u16string, VARIANT>> Properties() const;

private:
    WbemClassObject(std::u16string className, bool isClass);
    const WbemMethodInfo* _FindMethod(const char16_t* method) const;

    mutable std::mutex m_lock;
    std::u16string m_className;
    bool m_isClass;
    bool m_closedSchema = false;               // only declared names may be put
    std::vector<std::u16string> m_declared;
    std::vector<WbemMethodInfo> m_methods;
    std::vector<std::pair<std::u16string, VARIANT>> m_properties;
};

// What serves a namespace: its classes, their instances and their methods.
class IWmiProvider {
public:
    virtual ~IWmiProvider() = default;
    virtual bool HasNamespace(const std::u16string& ns) = 0;
    // The class object (with "__PATH" and its methods), or null when there is no such class.
    virtual WbemObjectPtr GetClass(const std::u16string& ns, const std::u16string& className) = 0;
    // The instances of a class (each with "__PATH"); false when the class does not exist.
    virtual bool GetInstances(const std::u16string& ns, const std::u16string& className,
                              std::vector<WbemObjectPtr>* instances) = 0;
    // Runs a method on the object named by path (class or instance path).
    virtual HRESULT ExecMethod(const std::u16string& ns, const std::u16string& path, const std::u16string& method,
                               const WbemObjectPtr& inParams, WbemObjectPtr* outParams) = 0;
};
IWmiProvider& WmiProvider();
void SetWmiProvider(IWmiProvider* provider);   // not owned; null restores the firmware

class WbemEnumerator {
public:
    explicit WbemEnumerator(std::vector<WbemObjectPtr> objects) : m_objects(std::move(objects)) {}
    // S_OK when count objects were returned, S_FALSE when fewer (the end was reached).
    HRESULT Next(int32_t timeoutMs, uint32_t count, WbemObjectPtr* objects, uint32_t* returned);
private:
    std::mutex m_lock;
    std::vector<WbemObjectPtr> m_objects;
    size_t m_next = 0;
};

class WbemServices {
public:
    explicit WbemServices(std::u16string ns) : m_namespace(std::move(ns)) {}
    const std::u16string& Namespace() const { return m_namespace; }
    HRESULT GetObject(const char16_t* path, int32_t flags, WbemObjectPtr* object);
    HRESULT CreateInstanceEnum(const char16_t* className, int32_t flags, std::shared_ptr<WbemEnumerator>* enumerator);
    HRESULT ExecMethod(const char16_t* path, const char16_t* method, int32_t flags, const WbemObjectPtr& inParams,
                       WbemObjectPtr* outParams);
private:
    std::u16string m_namespace;
};
using WbemServicesPtr = std::shared_ptr<WbemServices>;

class WbemLocator {
public:
    HRESULT ConnectServer(const char16_t* ns, WbemServicesPtr* services);
};
using WbemLocatorPtr = std::shared_ptr<WbemLocator>;

// The component-library calls around a connection. CoInitialize counts per thread;
// WmiComInitCount tells the calling thread's balance (for tests).
HRESULT CoInitialize();
void CoUninitialize();
int WmiComInitCount();
HRESULT CoCreateWbemLocator(WbemLocatorPtr* locator);
HRESULT CoSetProxyBlanket(const WbemServicesPtr& services);

// Text of a value for journals and messages, e.g. "UI1:7" or "ThermInfoPackage{ZoneNum=UI1:1,...}".
std::string DescribeVariant(const VARIANT& v);

} // namespace plat
