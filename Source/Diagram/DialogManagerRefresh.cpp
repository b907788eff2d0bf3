// The dialogs of the drives and USB devices, rebuilt from what the controllers
// report. A device that cannot be shown (unknown type, unreadable, gone) keeps
// its place and leaves its button disabled; the others are still shown.
#include "Diagram/DialogManager.h"

#include <QToolButton>

#include <algorithm>

#include "Diagram/BaseDialog.h"
#include "Diagram/DialogSupport.h"
#include "Diagram/DialogTable.h"
#include "Diagram/SysDiagram.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/InventoryDevices.h"

namespace {
// The steps of a refresh log under the operation the caller asked for.
constexpr char kRefresh[] = "CDialogManager::Refresh";
} // namespace

bool CDialogManager::Refresh()
{
    LOG_PROCESS_ERROR(m_pSysDiagram);
    _RefreshDrives(dtSATAController, dnSATADevice0);
    _RefreshDrives(dtIDEController, dnIDEDevice0);
    _RefreshUsbDevices();
    m_pSysDiagram->repaint();
    return true;
}

void CDialogManager::_ClearDeviceSlots(int nFirstSlot, int nCount)
{
    _ReleaseFrames(nFirstSlot, nFirstSlot + nCount - 1, kRefresh);
    // A button stays toggled as the user left it.
    for (int n = 0; n < nCount; ++n) {
        QToolButton* pButton = m_pSysDiagram->Button(nFirstSlot + n);
        pButton->setIcon(QIcon());
        pButton->setEnabled(false);
    }
}

void CDialogManager::_RefreshDrives(QVX_DEVICE_TYPE eController, int nFirstSlot)
{
    _ClearDeviceSlots(nFirstSlot, kMaxDrives);
    auto* pController = QvxGetDevice<IStorageControllerDevice>(eController, 0);
    if (!pController)
        return;
    int n = 0;
    for (unsigned c = 0; c < pController->GetChannelCount() && n < kMaxDrives; ++c) {
        const CHANNEL_INFO* pChannel = pController->GetChannelDevices(c);
        if (!pChannel) {
            LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "pChannel", kRefresh);
            continue;
        }
        const uint32_t uCount = std::min<uint32_t>(pChannel->uDeviceCount, QVX_MAX_CHANNEL_DEVICES);
        for (uint32_t i = 0; i < uCount && n < kMaxDrives; ++i, ++n) {
            const CHANNEL_DEVICE& entry = pChannel->aDevices[i];
            _AddDevice(static_cast<QVX_DEVICE_TYPE>(entry.uType), entry.uIndex, nFirstSlot + n);
        }
    }
}

void CDialogManager::_RefreshUsbDevices()
{
    _ClearDeviceSlots(dnUSBDevice0, kMaxUsbDevices);
    m_pSysDiagram->ClearLinks();
    int n = 0;
    // Controllers may leave gaps: the later ones still count.
    for (int k = 0; k < kMaxUsbControllers && n < kMaxUsbDevices; ++k) {
        auto* pController = QvxGetDevice<IUSBControllerDevice>(dtUSBController, static_cast<unsigned long>(k));
        if (!pController)
            continue;
        for (unsigned i = 0; i < pController->GetChannelCount() && n < kMaxUsbDevices; ++i, ++n) {
            QVX_DEVICE_TYPE eType = dtCPU;
            unsigned long uIndex = 0;
            bool bRetCode = pController->GetChildDevice(i, &eType, &uIndex);
            if (!bRetCode) {
                LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "bRetCode", kRefresh);
                continue;
            }
            if (!_AddDevice(eType, uIndex, dnUSBDevice0 + n))
                continue;
            bRetCode = m_pSysDiagram->LinkButton(m_pSysDiagram->Button(dnUSBDevice0 + n),
                                                 m_pSysDiagram->Button(dnUSBController0 + k));
            LOG_CHECK_ERROR_IN(bRetCode, kRefresh);
        }
    }
}

bool CDialogManager::_AddDevice(QVX_DEVICE_TYPE eType, unsigned long uIndex, int nSlot)
{
    IDevice* pDevice = g_DeviceManager.GetDevice(eType, uIndex);
    if (!pDevice) {
        LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "pDevice", kRefresh);
        return false;
    }
    IQVXWidget* pDialog = _CreateDialog(pDevice, m_pSysDiagram->Button(nSlot));
    if (!pDialog) {
        LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "pBaseDialog", kRefresh);
        return false;
    }
    _Bind(nSlot, pDialog);
    return true;
}

IQVXWidget* CDialogManager::_CreateDialog(IDevice* pDevice, QToolButton* pButton)
{
    LOG_PROCESS_ERROR_RET(pDevice, nullptr);
    LOG_PROCESS_ERROR_RET(pButton, nullptr);
    const DeviceDialogEntry* pEntry = FindDeviceDialog(pDevice->GetType());
    if (!pEntry) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "FALSE");
        return nullptr;
    }
    if (!pEntry->pfnCreate) {
        pButton->setIcon(_Icon(pEntry->eIcon));
        return nullptr;
    }
    IQVXWidget* pDialog = pEntry->pfnCreate();
    if (!pDialog) {
        LogDialogError(pEntry->pszAllocExpr, __LINE__, "CDialogManager::_CreateDialog");
        return nullptr;
    }
    bool bRetCode = pEntry->pfnSetDevice(pDialog, pDevice);
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        delete pDialog;
        return nullptr;
    }
    // The picture shows even when the dialog then fails.
    pButton->setIcon(_Icon(pEntry->eIcon));
    bRetCode = pDialog->Init();
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        delete pDialog;
        return nullptr;
    }
    return pDialog;
}
