#pragma once
// The base of every device dialog of the board diagram. A dialog only shows what
// its device reports: nothing to release, apply or discard. A dialog adds Init
// (read the device; false: no dialog for an absent device) and GetName (the
// frame's title), and a setter the dialog manager calls before Init when the
// dialog needs its device or an index.
// An absent component is no failure: the manager asks every slot whether its
// component is there (empty memory slots, a second graphics chip, USB controllers
// 1 to 6), so Init answers false for it without a line in the log. A component that
// is there but cannot be read is logged.
#include "Shell/IQVXWidget.h"

class QDeviceDialog : public IQVXWidget {
public:
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
};
