#pragma once
// The firmware's setup (CMOS) items: name, rules, options and current value. The
// descriptions come from the board file; the values survive a restart in a small
// state file under Machine::StateDir(), as CMOS does a reboot.
#include <QJsonArray>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vb {

struct CmosItem {
    std::string name;
    std::vector<std::array<uint8_t, 5>> rules;
    std::vector<std::string> options;
    uint8_t value = 0;
};

class CmosItems {
public:
    // Reads the items of the board file, then the saved values (a value is taken
    // only when the saved item has the same name and the value names an option).
    void Load(const QJsonArray& items, const QString& stateFile);

    size_t Count() const { return m_items.size(); }
    // 1-based item numbers, as the firmware commands use them; null when out of range.
    const CmosItem* Item(uint32_t number) const;
    // False for a missing item or a value that is not an option's position.
    bool SetValue(uint32_t number, uint8_t value);

    QString StateFile() const { return m_stateFile; }

private:
    void _ReadState();
    bool _WriteState() const;

    std::vector<CmosItem> m_items;
    QString m_stateFile;
};

} // namespace vb
