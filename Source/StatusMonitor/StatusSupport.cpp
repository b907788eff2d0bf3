#include "StatusMonitor/StatusSupport.h"

#include <QLCDNumber>
#include <QLabel>
#include <QPixmap>

#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Settings/SkinManager.h"

namespace {
constexpr int kNoReading = -9999;
}

QString ColumnObjectName(const QString& name, int column)
{
    return column == 0 ? name : QStringLiteral("%1_%2").arg(name).arg(column + 1);
}

void SetColumnEnabled(const QWidget* page, const QStringList& names, int column, bool enabled)
{
    for (const QString& name : names)
        if (QWidget* w = page->findChild<QWidget*>(ColumnObjectName(name, column)))
            w->setEnabled(enabled);
}

void ShowUsagePicture(QLabel* pArea)
{
    pArea->setPixmap(QPixmap(g_SkinManager.GetFilePath(QStringLiteral("images/utilization.png"))));
}

void SetStatusLcdPalette(QLCDNumber* pLcd)
{
    QPalette palette = pLcd->palette();
    const QPalette::ColorRole texts[] = {QPalette::WindowText, QPalette::Text, QPalette::BrightText, QPalette::ButtonText};
    const QPalette::ColorRole grounds[] = {QPalette::Button, QPalette::Light, QPalette::Midlight, QPalette::Dark,
                                           QPalette::Mid, QPalette::Base, QPalette::Window, QPalette::Shadow,
                                           QPalette::AlternateBase};
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : texts)
            palette.setColor(group, role, Qt::white);
        for (QPalette::ColorRole role : grounds)
            palette.setColor(group, role, Qt::black);
    }
    for (QPalette::ColorRole role : texts)
        palette.setColor(QPalette::Disabled, role, Qt::black);
    for (QPalette::ColorRole role : grounds)
        palette.setColor(QPalette::Disabled, role, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Light, QColor(236, 233, 216));
    pLcd->setPalette(palette);
}

int FallbackTemperature()
{
    ISensorChipDevice* pChip = QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0);
    for (int sensor = 0; pChip && sensor < 3; ++sensor)
        if (const int t = pChip->GetTemperature(sensor); t != kNoReading)
            return t;
    return 0;
}
