#pragma once
// "Corvane": the page of the maker's flash-cache disk module. It shows a wear bar,
// a S.M.A.R.T. box and the split of the flash capacity between the system's two
// disk caches, and carries the operations that find the flash disk, turn it into a
// cache volume with a free drive letter (or remove that volume), and write the
// cache's description file. The main window does not create it.
#include <QString>

#include <cstdint>
#include <map>

#include "Platform/SetupApi.h"
#include "Shell/IQVXWidget.h"
#include "ui_Corvane.h"

class QCorvane : public IQVXWidget {
    Q_OBJECT
public:
    // The start of the flash disk's hardware ID (compared case-sensitively).
    static constexpr char16_t kHardwareIdPrefix[] = u"IDE\\DiskVYK_CORVANE";
    // Characters of the search's hardware-ID buffer, terminator included.
    static constexpr size_t kHardwareIdCapacity = 256;
    // Size of the cache description file "EMD.dat", and where it holds the cache size.
    static constexpr uint32_t kEmdSize = 306;
    static constexpr int kEmdSizeOffset = 32;

    QCorvane();

    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Corvane"; }

    // The flash disk's number; -1 when there is none.
    int GetCorvaneDiskID();
    // One step of the disk search (the device at uIndex): its first hardware ID into
    // the buffer (cut to fit, always terminated) and its UI number. True: go on.
    static bool ReadDiskInfo(plat::HDEVINFO hDevInfo, unsigned uIndex, char16_t* pszHardwareID, size_t uCapacity,
                             uint32_t* puUINumber);
    // Writes "diskpart.tmp" that makes the flash disk a volume (or deletes that volume).
    bool GenerateScriptFile(bool bEnable);
    // The last free drive letter, Z first; 0 when every letter is in use.
    static char GetFreeDriveLetter();
    // The cache volume's letter as stored for the storage driver; 0 when none.
    static char ReadDriveLetter();
    static bool SaveDriveLetter(char cLetter);
    // Hides the cache drive and tells the storage driver to use its flash cache.
    bool ApplyCacheDrivePolicies();
    // Makes (or removes) the cache volume; enabling also writes its "EMD.dat" with uSize.
    bool EnableReadyBoost(uint32_t uSize, bool bEnable);
    // Asks for a forced restart of the system.
    bool RebootSystem();
    void InitSmartStatusTexts();

    // Where "diskpart.tmp" is written (the program's state folder).
    static QString ScriptFilePath();

    // The capacity to split between the two caches; shows the split again.
    void SetFlashSize(uint32_t uFlashSize);
    uint32_t ReadyDriveSize() const { return m_uReadyDriveSize; }
    uint8_t ModifiedFlags() const { return m_uModifiedFlags; }
    char DriveLetter() const { return m_cDriveLetter; }
    const std::map<uint8_t, QString>& OfflineStatusTexts() const { return m_OfflineStatusTexts; }
    const std::map<int, QString>& SelfTestStatusTexts() const { return m_SelfTestStatusTexts; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void on_btnSettings_clicked();
    void on_btnEnableReadyBoost_clicked();
    void on_sliderReadySize_valueChanged(int nValue);
    void on_checkBoxWriteThrough_stateChanged(int nState);

private:
    bool _WriteEmdFile(uint32_t uSize);

    Ui::CorvaneClass ui;
    uint8_t m_uModifiedFlags = 0;       // bit 0: write-through, bit 1: the split
    bool m_bIsInitialized = false;
    bool m_bInitOnShow = true;
    uint32_t m_uFlashSize = 0;
    uint32_t m_uReadyDriveSize = 0;
    std::map<uint8_t, QString> m_OfflineStatusTexts;
    std::map<int, QString> m_SelfTestStatusTexts;
    char m_cDriveLetter = 0;
};
