// A device probe plug-in for the tests: class 0 has no device on any board, class
// 1 has no probe (CreateDevice answers null), class 2 is the simulated boards'
// processor class, also offered by the shipped plug-in.
#include "QVXLogic/DevicePlugin.h"

namespace {

unsigned g_nProbesAlive = 0;

class CTestProbe final : public IDevice {
public:
    CTestProbe(QVX_DEVICE_TYPE type, const char16_t* typeName, const char16_t* className)
        : m_eType(type), m_TypeName(typeName), m_ClassName(className)
    {
        ++g_nProbesAlive;
    }
    ~CTestProbe() override { --g_nProbesAlive; }
    const char16_t* GetName() override { return m_ClassName; }
    const char16_t* GetDescription() override { return u""; }
    const char16_t* GetVendor() override { return u"Test"; }
    const char16_t* GetTypeName() override { return m_TypeName; }
    const char16_t* GetClassName() override { return m_ClassName; }
    QVX_DEVICE_TYPE GetType() override { return m_eType; }
    int GetIndex() override { return 0; }
    unsigned long GetBuildVersion() override { return 7; }

private:
    const QVX_DEVICE_TYPE m_eType;
    const char16_t* const m_TypeName;
    const char16_t* const m_ClassName;
};

} // namespace

// Probes made and not yet deleted, so tests see that each is released.
extern "C" QVXLOGIC_API unsigned TestProbesAlive() { return g_nProbesAlive; }

extern "C" QVXLOGIC_API unsigned GetDeviceClassCount() { return 3; }

extern "C" QVXLOGIC_API IDevice* CreateDevice(unsigned index)
{
    switch (index) {
    case 0: return new CTestProbe(dtMouse, u"Mouse", u"Test Device Without Instances");
    case 2: return new CTestProbe(dtCPU, u"CPU", u"Vyk Family 10h Processor");
    default: return nullptr;
    }
}
