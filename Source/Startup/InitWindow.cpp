#include "Startup/InitWindow.h"

InitWindow::InitWindow(QWidget* parent) : QWidget(parent)
{
    ui.setupUi(this);
}

void InitWindow::SetText(const QString& text) { ui.label->setText(text); }

void InitWindow::ShowCentredOn(const QPoint& centre)
{
    QRect own(0, 0, width(), height());
    own.moveCenter(centre);
    setGeometry(own);
    setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    show();
}
