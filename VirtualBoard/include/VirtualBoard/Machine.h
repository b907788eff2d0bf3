#pragma once
// The simulated computer. One instance per process serves every stand-in, so the
// firmware tables, the PCI list, the SMBus devices and the device library all
// describe the same board. The board comes from a JSON file: the built-in default,
// or the file named by the VELOCREST_BOARD environment variable.
//
// The machine is made of components (processor, firmware, buses...). Each one is a
// class derived from Component with a constructor taking the Machine; it is built
// from the board file on first use and thrown away when another board is loaded.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <typeindex>

#include "VirtualBoard/Faults.h"
#include "VirtualBoard/Journal.h"

namespace vb {

class Machine;

class Component {
public:
    virtual ~Component() = default;
};

class Machine {
public:
    static Machine& Instance();

    // Loads the default board: $VELOCREST_BOARD when set, else the built-in one.
    // A board file that cannot be read falls back to the built-in board (logged).
    void LoadDefault();
    // False, with the reason in error, for a board that cannot be read or that gives a
    // count or size past the bound a real machine of this kind reaches (the field and
    // the bound are named); the board in use then stays.
    bool LoadFile(const QString& path, QString* error = nullptr);
    bool LoadJson(const QByteArray& json, QString* error = nullptr, const QString& sourcePath = {});

    const QJsonObject& Board() const { return m_board; }
    QJsonObject Section(const QString& key) const { return m_board.value(key).toObject(); }
    QString BoardName() const { return m_board.value(QStringLiteral("name")).toString(); }
    // Folder of the loaded board file (relative file names in it resolve here);
    // the resource folder for the built-in board.
    QString BoardDir() const { return m_boardDir; }

    // Folder for state that survives a restart (as CMOS does a reboot):
    // $VELOCREST_STATE_DIR when set, else ~/.local/state/VykVelocrest.
    static QString StateDir();
    // The file in it that keeps the BIOS CMOS items' values.
    static QString CmosStateFile();

    Faults& GetFaults() { return m_faults; }
    Journal& GetJournal() { return m_journal; }

    template <class T>
    T& Get()
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto it = m_components.find(std::type_index(typeid(T)));
        if (it == m_components.end())
            it = m_components.emplace(std::type_index(typeid(T)), std::make_unique<T>(*this)).first;
        return static_cast<T&>(*it->second);
    }

    std::recursive_mutex& Mutex() { return m_mutex; }

private:
    Machine();
    void Adopt(const QJsonObject& board, const QString& dir);

    std::recursive_mutex m_mutex;
    QJsonObject m_board;
    QString m_boardDir;
    Faults m_faults;
    Journal m_journal;
    std::map<std::type_index, std::unique_ptr<Component>> m_components;
};

// Number fields of board files may be JSON numbers or "0x..." texts.
uint64_t ToU64(const QJsonValue& value, uint64_t fallback = 0);

} // namespace vb
