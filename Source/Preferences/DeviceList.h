#pragma once
// "Device List": the device classes that the probe plug-ins in the folder "Device"
// offer and that this computer has, with the plug-in file, build version and number
// of devices. Filled once, when the page is admitted.
#include <QString>

#include "Shell/IQVXWidget.h"
#include "ui_DeviceList.h"

class IDevice;

class QDeviceList : public IQVXWidget {
    Q_OBJECT
public:
    QDeviceList();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Device List"; }

    Ui::DeviceListClass& Form() { return ui; }

protected:
    // Widens a column whose caption, as the skin draws it, is wider than the column.
    void showEvent(QShowEvent* event) override;

private:
    bool _LoadDeviceLibrary(const QString& filePath);
    bool _AddDevice(IDevice* pDevice, const QString& filePath, unsigned long ulCount);

    Ui::DeviceListClass ui;
};
