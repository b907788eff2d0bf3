#pragma once
// Device probe plug-ins: shared libraries in the folder "Device" beside the program
// (Device/*.so) that offer device classes through two functions with C linkage.
// CreateDevice makes a probe object of class `index` (0 .. count-1), or null; its
// caller reads the common slots (GetTypeName, GetClassName, GetBuildVersion) and
// deletes it, which runs the plug-in's own destructor.
#include "QVXLogic/Device.h"

extern "C" {
using GetDeviceClassCountFunction = unsigned (*)();
using CreateDeviceFunction = IDevice* (*)(unsigned index);
}

#define QVX_GET_DEVICE_CLASS_COUNT "GetDeviceClassCount"
#define QVX_CREATE_DEVICE "CreateDevice"
