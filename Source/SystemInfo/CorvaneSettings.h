#pragma once
// "CorvaneSettings": the flash-cache module's settings page. It edits the storage
// driver's parameters (capability bits, command completion coalescing, interface
// speed, queue priority), which take effect at the next restart. The main window
// does not create it.
#include <array>
#include <cstdint>
#include <utility>

#include "Shell/IQVXWidget.h"
#include "ui_CorvaneSettings.h"

class QCorvaneSettings : public IQVXWidget {
    Q_OBJECT
public:
    // The capability word the driver starts with: the base bit and hot plug.
    static constexpr uint32_t kDefaultGlobalCaps = 0x10004;

    QCorvaneSettings();

    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "CorvaneSettings"; }

    // All ten values of the driver's parameters; true only when every read succeeded.
    bool ReadParameters();
    bool WriteParameters();
    static bool ReadParameter(const char16_t* pszName, uint32_t* puValue);
    static bool WriteParameter(const char16_t* pszName, uint32_t uValue);
    // true: the widgets into the values; false: the values into the widgets.
    bool SyncWidgets(bool bToValues);
    void HideFlashOptions();

private slots:
    void on_radioBtnCustom_toggled(bool bChecked);
    void on_radioBtnDefault_toggled(bool bChecked);
    void on_btnUpdateROM_clicked();
    void on_checkBox_3_stateChanged(int nState);
    void on_checkBox_6_stateChanged(int nState);
    void on_checkBox_7_stateChanged(int nState);
    void on_btnDefault_clicked();

private:
    struct Fields {
        uint32_t uCCCCompletion = 0;
        uint32_t uCCCTimeout = 0;
        uint32_t uInterfaceSpeed = 0;
    };
    // The nine numbers of the driver's parameters, by value name.
    std::array<std::pair<const char16_t*, uint32_t*>, 9> _NumberValues();
    // The three number fields; false (with a message) when one holds no number.
    bool _ParseFields(Fields& fields);

    Ui::CVSettingsClass ui;
    uint32_t CCCCompletionValue = 0;
    uint32_t CCCTimeoutValue = 0;
    uint32_t InterfaceSpeed = 0;
    uint32_t InterfaceSpeedMask = 0;
    uint32_t GlobalCaps = 0;
    uint32_t GlobalCapsMask = 0;
    uint32_t MemoryMappedAddr = 0;
    uint32_t SystemMemoryPhyAddr = 0;
    uint32_t SizeOfMemoryMapped = 0;
    bool queuePriorityEnable = false;
    bool m_bCapsChanged = false;
    // Apply writes only after the values were read once: before, the widgets hold
    // nothing of the driver's and would overwrite its capabilities.
    bool m_bValuesRead = false;
};
