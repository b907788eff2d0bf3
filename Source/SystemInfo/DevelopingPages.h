#pragma once
// "Audio", "Storage" and "USB": pages for device areas that have no content yet,
// each one centred line. The built-in page table lists none of them; a page table
// that does makes them ordinary pages with nothing to read, apply or discard.
#include "Shell/IQVXWidget.h"
#include "ui_Audio.h"
#include "ui_Storage.h"
#include "ui_USB.h"

template <class Form>
class CDevelopingPage : public IQVXWidget {
public:
    CDevelopingPage() { ui.setupUi(this); }
    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }

protected:
    Form ui;
};

class QAudio : public CDevelopingPage<Ui::AudioClass> {
    Q_OBJECT
public:
    const char* GetName() override { return "Audio"; }
};

class QStorage : public CDevelopingPage<Ui::StorageClass> {
    Q_OBJECT
public:
    const char* GetName() override { return "Storage"; }
};

class QUSB : public CDevelopingPage<Ui::USBClass> {
    Q_OBJECT
public:
    const char* GetName() override { return "USB"; }
};
