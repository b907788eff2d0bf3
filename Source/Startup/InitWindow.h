#pragma once
// The splash window: shown while the program starts, and as the "please wait"
// window while the main window applies settings.
#include <QWidget>

#include "ui_InitWindow.h"

class InitWindow : public QWidget {
    Q_OBJECT
public:
    explicit InitWindow(QWidget* parent = nullptr);
    void SetText(const QString& text);
    // Centres the window on a point, makes it a splash that stays on top, and shows it.
    void ShowCentredOn(const QPoint& centre);

private:
    Ui::InitWindowClass ui;
};
