#pragma once
// The device-library devices the pages use, looked up afresh at each use (a board
// may lose or gain devices at a refresh): the typed device, or null when there is none.
#include "QVXLogic/QVXLogic.h"

namespace dev {

inline ICPUDevice* Cpu(unsigned long index = 0) { return QvxGetDevice<ICPUDevice>(dtCPU, index); }
inline IClockGeneratorDevice* ClockGen() { return QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0); }
inline IHTLinkDevice* HTLink() { return QvxGetDevice<IHTLinkDevice>(dtHTLink, 0); }
inline INorthBridgeDevice* NorthBridge() { return QvxGetDevice<INorthBridgeDevice>(dtNorthBridge, 0); }
inline ISouthBridgeDevice* SouthBridge() { return QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0); }
inline IGPUDevice* Gpu() { return QvxGetDevice<IGPUDevice>(dtGPU, 0); }
inline IPWMControllerDevice* Pwm() { return QvxGetDevice<IPWMControllerDevice>(dtPWMController, 0); }
inline IPWMController2Device* Pwm2() { return QvxGetDevice<IPWMController2Device>(dtPWMController2, 0); }
inline IMemoryControllerDevice* MemCtrl() { return QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0); }
inline ISensorChipDevice* SensorChip() { return QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0); }

} // namespace dev
