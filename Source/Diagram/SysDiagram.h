#pragma once
// "Diagram": the board drawn as a block diagram of component buttons, lines and
// labels. A button toggled on shows its component's dialog and toggled off hides
// it; the dialogs and their frames belong to the dialog manager. The page hands
// itself to the manager at its first show; the manager fills in the drive and USB
// device buttons and asks for a green line from each USB device to its controller.
#include <QLine>
#include <QList>
#include <QRect>

#include "Diagram/DialogManager.h"
#include "Shell/IQVXWidget.h"
#include "ui_SysDiagram.h"

class QSysDiagram : public IQVXWidget {
    Q_OBJECT
public:
    QSysDiagram();
    ~QSysDiagram() override;

    bool Init() override;
    // Releases every dialog through the manager.
    bool UnInit() override;
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Diagram"; }

    // A line from the right edge of one button to the left edge of the other, at
    // their middles; false (logged) for a missing button.
    bool LinkButton(QToolButton* pLeftButton, QToolButton* pRightButton);
    // Forgets the lines; the next paint draws none.
    void ClearLinks();
    const QList<QLine>& Links() const { return m_LinkList; }

    // The button of a slot; null for the slot without a component.
    QToolButton* Button(int nSlot) const;
    // The USB bus line, its stub to controller k, and the bus line as the form
    // draws it (the manager shortens it to the last controller present).
    QFrame* UsbBusLine() const { return ui.USBVerLine; }
    QFrame* UsbStub(int k) const { return m_pUsbStubs[k]; }
    const QRect& UsbBusFormGeometry() const { return m_rcUsbBus; }
    bool DialogsPending() const { return m_bDialogsPending; }
    Ui::SysDiagramClass& Form() { return ui; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Connected by hand to all 39 buttons, so connect-by-name ignores it.
    void on_Button_click();

    Ui::SysDiagramClass ui;
    QToolButton* m_pButtons[dnTotal] = {};
    QFrame* m_pUsbStubs[kMaxUsbControllers] = {};
    QList<QLine> m_LinkList;
    QRect m_rcUsbBus;
    bool m_bDialogsPending = true;   // the manager's Init has not yet succeeded
};
