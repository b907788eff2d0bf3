#include "Pages/PlaceholderPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"

CPlaceholderPage::CPlaceholderPage(const char* pszName) : m_pszName(pszName)
{
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QObject::tr(pszName), this);
    title->setObjectName(QStringLiteral("placeholderTitle"));
    QFont font = title->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addStretch(1);
    layout->addWidget(title);
    layout->addStretch(2);
}

bool CDDRMemoryPlaceholder::Init()
{
    IMemoryControllerDevice* pMC = dev::MemCtrl();
    LOG_PROCESS_ERROR(pMC);
    LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR_SDRAM);
    return true;
}

bool CDDR2MemoryPlaceholder::Init()
{
    IMemoryControllerDevice* pMC = dev::MemCtrl();
    LOG_PROCESS_ERROR(pMC);
    LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR2_SDRAM || pMC->GetMemoryType() == mtDDR3_SDRAM);
    return true;
}
