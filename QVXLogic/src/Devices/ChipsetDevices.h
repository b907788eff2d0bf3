#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/ChipsetDevices.h"

namespace qvx {

class CHTLinkDevice final : public CPciDevice<IHTLinkDevice> {
public:
    explicit CHTLinkDevice(const vb::HtLinkState& ht) : CPciDevice(dtHTLink, 0, ht.id, "HT") {}
    bool GetLinkInfo(int link, HTLINK_INFO* info) override;
    bool SetLinkInfo(int link, HTLINK_INFO* info) override;
};

class CNorthBridgeDevice final : public CPciDevice<INorthBridgeDevice> {
public:
    explicit CNorthBridgeDevice(const vb::NorthBridgeState& nb)
        : CPciDevice(dtNorthBridge, 0, nb.id, "NB") {}
    double GetMaxHTMultiplier() override;
    bool SetHTLinkMultiplier(double multiplier) override;
};

class CSouthBridgeDevice final : public CPciDevice<ISouthBridgeDevice> {
public:
    explicit CSouthBridgeDevice(const vb::SouthBridgeState& sb)
        : CPciDevice(dtSouthBridge, 0, sb.id, "SB") {}
    void Reserved16() override {}
    void Reserved17() override {}
    void Reserved18() override {}
    void Reserved19() override {}
    void Reserved20() override {}
    void Reserved21() override {}
    void Reserved22() override {}
    double GetFanSpeed(int fan) override;
    int GetFanCount() override;
    double GetTemperature(int sensor) override;
    double GetVoltage(int input) override;
    int GetVoltageCount() override;
    bool SetKeepAliveMode(bool on) override;
    bool SendKeepAlive(bool alive) override;
    bool ApplyHTLinkChange() override;
};

} // namespace qvx
