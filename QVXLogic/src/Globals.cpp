// The library's global objects, in one unit so their construction order is
// fixed: the manager first, then what uses it.
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/PerformanceControl.h"
#include "QVXLogic/ProfileSettings.h"
#include "QVXLogic/TestCenter.h"

CDeviceManager g_DeviceManager;
CPerformanceControl g_PerformanceControl;
CProfileSettgins CProfileSettgins::m_Self;
CTestCenter g_TestCenter;
