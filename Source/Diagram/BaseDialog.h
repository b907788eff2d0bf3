#pragma once
// The frame around every device dialog of the board diagram: a top-level window
// with its own title bar (icon, the dialog's name, help and close buttons), the
// dialog in its middle and a "Close" button below. The user drags it by any part
// that takes no clicks itself; after each move the dialog manager may snap it to
// the screen edges or to the other frames, and a snapped frame stays where it is
// until the cursor has moved kUndockDistance pixels away.
#include <QPoint>
#include <QWidget>

#include "ui_BaseDialog.h"

class QAbstractButton;
class IQVXWidget;

class QBaseDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kUndockDistance = 5;

    QBaseDialog();

    // Embeds the dialog (which becomes the frame's child) and binds the diagram
    // button that opens it; the button is enabled and shown.
    bool Init(IQVXWidget* pDialog, QAbstractButton* pButton);
    bool UnInit() { return true; }
    bool ShowWindow();

    IQVXWidget* Dialog() const { return m_pDialog; }
    QAbstractButton* Button() const { return m_pButton; }
    bool IsDocked() const { return m_bDocked; }
    // Shown at least once: until then the frame has no place on the screen.
    bool WasShown() const { return m_bShown; }
    Ui::base_dialog& Form() { return ui; }

public slots:
    // Unchecks the bound button and hides the frame (the close button).
    void HideWindow();

private slots:
    void on_OKButton_clicked();
    void showHelp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Ui::base_dialog ui;
    QPoint m_ptPress;             // where the left button went down, frame coordinates
    bool m_bPressed = false;
    bool m_bSkipMove = false;     // the next move event is the echo of our own move
    bool m_bDocked = false;       // the last docking rule snapped the frame
    bool m_bShown = false;
    QAbstractButton* m_pButton = nullptr;
    IQVXWidget* m_pDialog = nullptr;
};
