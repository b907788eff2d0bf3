#include "Preferences/DeviceList.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLibrary>

#include <algorithm>
#include <memory>

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/DevicePlugin.h"
#include "Shell/PluginFile.h"

namespace {

enum { kNameColumn, kTypeColumn, kFileColumn, kVersionColumn, kCountColumn, kColumnCount };
constexpr int kColumnWidths[kColumnCount] = {250, 150, 180, 100, 100};

QString Text(const char16_t* text) { return text ? QString::fromUtf16(text) : QString(); }

} // namespace

QDeviceList::QDeviceList() { ui.setupUi(this); }

bool QDeviceList::Init()
{
    if (ui.DeviceList->columnCount() < kColumnCount)
        ui.DeviceList->setColumnCount(kColumnCount);
    for (int column = 0; column < kColumnCount; ++column)
        ui.DeviceList->setColumnWidth(column, kColumnWidths[column]);

    // The probe plug-ins carry the platform's library suffix.
    const QStringList files = plugin::Entries(QStringLiteral("Device"), QStringLiteral("*.so"), QDir::Name);
    if (files.isEmpty()) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "hFind != INVALID_HANDLE_VALUE");
        return false;
    }
    for (const QString& file : files) {
        const bool bRetCode = _LoadDeviceLibrary(QStringLiteral("Device/") + file);
        LOG_PROCESS_ERROR(bRetCode);
    }
    return true;
}

void QDeviceList::showEvent(QShowEvent* event)
{
    // Only a shown page wears the skin, whose font and padding size the captions.
    QHeaderView* pHeader = ui.DeviceList->horizontalHeader();
    pHeader->ensurePolished();
    for (int column = 0; column < pHeader->count(); ++column)
        pHeader->resizeSection(column, std::max(pHeader->sectionSize(column), pHeader->sectionSizeHint(column)));
    IQVXWidget::showEvent(event);
}

bool QDeviceList::_LoadDeviceLibrary(const QString& filePath)
{
    LOG_PROCESS_ERROR(!filePath.isEmpty());
    // Stays loaded for the rest of the process: QLibrary unloads only when asked. A file
    // that is no whole library of this machine's kind is never handed to the loader.
    QLibrary library(QFileInfo(filePath).absoluteFilePath());
    const bool bWhole = plugin::CheckLibrary(filePath);
    const bool hModule = bWhole && library.load();
    if (bWhole && !hModule)
        g_Log.Write(ltInfo, "%s\n", qPrintable(library.errorString()));
    LOG_PROCESS_ERROR(hModule);
    const auto GetDeviceClassCount =
        reinterpret_cast<GetDeviceClassCountFunction>(plugin::Resolve(library, filePath, QVX_GET_DEVICE_CLASS_COUNT));
    LOG_PROCESS_ERROR(GetDeviceClassCount);
    const auto CreateDevice =
        reinterpret_cast<CreateDeviceFunction>(plugin::Resolve(library, filePath, QVX_CREATE_DEVICE));
    LOG_PROCESS_ERROR(CreateDevice);

    for (unsigned i = 0; i < GetDeviceClassCount(); ++i) {
        // The probe's own destructor frees it, inside the plug-in.
        const std::unique_ptr<IDevice> pDevice(CreateDevice(i));
        if (!pDevice) {
            LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "pDevice");
            continue;
        }
        const unsigned long ulCount = g_DeviceManager.GetDeviceCount(pDevice->GetClassName());
        if (ulCount > 0)
            _AddDevice(pDevice.get(), filePath, ulCount);
    }
    return true;
}

bool QDeviceList::_AddDevice(IDevice* pDevice, const QString& filePath, unsigned long ulCount)
{
    LOG_PROCESS_ERROR(pDevice);
    const int nRow = ui.DeviceList->rowCount();
    ui.DeviceList->insertRow(nRow);
    const QString texts[kColumnCount] = {Text(pDevice->GetClassName()), Text(pDevice->GetTypeName()), filePath,
                                         QStringLiteral("%1").arg(pDevice->GetBuildVersion()),
                                         QStringLiteral("%1").arg(ulCount)};
    for (int column = 0; column < kColumnCount; ++column)
        ui.DeviceList->setItem(nRow, column, new QTableWidgetItem(texts[column]));
    return true;
}
