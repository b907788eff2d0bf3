#include "PerformanceControl/LevelColors.h"

#include <QLabel>
#include <QPalette>

const QColor g_LevelColor1(255, 125, 0);
const QColor g_LevelColor2(255, 100, 100);
const QColor g_LevelColor3(255, 0, 0);

void SetLevelColor(QLabel* pLabel, int nLevel)
{
    if (!pLabel)
        return;
    if (nLevel <= 0) {
        pLabel->setAutoFillBackground(false);
        return;
    }
    const QColor& color = nLevel == 1 ? g_LevelColor1 : nLevel == 2 ? g_LevelColor2 : g_LevelColor3;
    QPalette palette = pLabel->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(color, Qt::SolidPattern));
    pLabel->setAutoFillBackground(true);
    pLabel->setPalette(palette);
}

int LevelForRatio(double dNew, double dReference)
{
    if (!(dReference > 0.0))
        return 0;
    const double ratio = dNew / dReference;
    if (ratio > 1.15)
        return 3;
    if (ratio > 1.1)
        return 2;
    if (ratio > 1.05)
        return 1;
    return 0;
}

int LevelForClock(int nMHz, int nNone, int nLevel1, int nLevel2)
{
    if (nMHz <= nNone)
        return 0;
    if (nMHz <= nLevel1)
        return 1;
    if (nMHz <= nLevel2)
        return 2;
    return 3;
}
