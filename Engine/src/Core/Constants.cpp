#include "Engine/Engine.h"

const uint32_t TOOLLIB_SUCCESS = 0;
const uint32_t TOOLLIB_FAIL = 1;
const uint32_t TOOLLIB_UPLL_DISABLED = 2;
const uint32_t TOOLLIB_NOT_SUPPORTED = 3;
const uint32_t USE_3DCLOCKS = 0x1;
const uint32_t RESTORE_CLOCKS = 0x2;
const uint32_t FORCE3D_DYNAMIC = 0x4;
const uint32_t NO_UNLOAD_DRIVER = 0x8;
const uint32_t NO_DISABLE_DISPLAYS = 0x10;
const uint32_t VDDC = 0x20;
const uint32_t MVDDC = 0x40;
const uint32_t MVDDQ = 0x80;
const uint32_t VDDCI = 0x100;
const uint32_t USE_3DVOLTAGE = 0x200;
const uint32_t SET_MANUALFANCONTROL = 0x400;
const uint32_t DRIVER_SUPPORT_ENABLED = 0x800;
const uint32_t INCLUDE_DPM_CLOCKS = 0x10000;
