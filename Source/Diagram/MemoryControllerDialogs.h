#pragma once
// The memory controller's dialogs: its timings and configuration (DCTDialog) and
// the per-channel part of its configuration (ChannelDialog). Both read the two
// records of the controller at Init and at every show, and change no cell unless
// both reads succeed.
#include <cstdint>

#include "Diagram/DeviceDialog.h"
#include "QVXLogic/Records.h"
#include "ui_ChannelDialog.h"
#include "ui_DCTDialog.h"

class QMemoryRecordsDialog : public QDeviceDialog {
public:
    // Reads both records and shows them; false (logged under pszRefresh) when the
    // controller is absent or a read fails, and then nothing changes.
    bool Refresh();
    // False, unlogged, when the controller is absent.
    bool Init() override;

    // Writes the records into the cells.
    virtual void Show(const MEMORY_TIMING& timing, const MEMORY_CONFIG& config) = 0;

protected:
    explicit QMemoryRecordsDialog(const char* pszRefresh) : m_pszRefresh(pszRefresh) {}
    void showEvent(QShowEvent* event) override;

private:
    const char* m_pszRefresh;
};

class DCTDialog final : public QMemoryRecordsDialog {
public:
    DCTDialog();
    // Whatever the memory type, the title stays.
    const char* GetName() override { return "DDR2 Memory Controller"; }
    void Show(const MEMORY_TIMING& timing, const MEMORY_CONFIG& config) override;

    Ui::DCTDialogClass& Form() { return ui; }

private:
    Ui::DCTDialogClass ui;
};

class ChannelDialog final : public QMemoryRecordsDialog {
public:
    ChannelDialog();
    // 0 for channel A, 1 for channel B; set before Init.
    void SetChannel(int32_t nChannel) { m_nChannel = nChannel; }
    const char* GetName() override;
    void Show(const MEMORY_TIMING& timing, const MEMORY_CONFIG& config) override;

    Ui::ChannelDialogClass& Form() { return ui; }

private:
    Ui::ChannelDialogClass ui;
    int32_t m_nChannel = 0;
};
