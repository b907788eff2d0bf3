#include "Platform/DeviceNotifier.h"

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/UsbBus.h"

namespace plat {

namespace {

class SimulatedNotifier final : public IDeviceChangeNotifier {
public:
    ~SimulatedNotifier() override { Unregister(); }

    bool Register(std::function<void()> changed) override
    {
        Unregister();
        if (vb::Machine::Instance().GetFaults().IsSet("platform:DeviceNotification.Register"))
            return false;
        m_id = vb::UsbBus::Subscribe([changed = std::move(changed)](bool) { changed(); });
        return true;
    }

    void Unregister() override
    {
        if (m_id)
            vb::UsbBus::Unsubscribe(m_id);
        m_id = 0;
    }

private:
    int m_id = 0;
};

std::function<std::unique_ptr<IDeviceChangeNotifier>()>& Factory()
{
    static std::function<std::unique_ptr<IDeviceChangeNotifier>()> factory;
    return factory;
}

} // namespace

std::unique_ptr<IDeviceChangeNotifier> CreateDeviceChangeNotifier()
{
    if (Factory())
        return Factory()();
    return std::make_unique<SimulatedNotifier>();
}

void SetDeviceChangeNotifierFactory(std::function<std::unique_ptr<IDeviceChangeNotifier>()> factory)
{
    Factory() = std::move(factory);
}

} // namespace plat
