#include "Shell/CompositorMove.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

bool StartCompositorMove(QWidget* pWindow)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland") || !pWindow->windowHandle())
        return false;
    pWindow->windowHandle()->startSystemMove();
    return true;
}
