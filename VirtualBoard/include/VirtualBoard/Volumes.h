#pragma once
// The simulated machine's volumes by drive letter ("volumes": {"letters": "CD"}),
// and the folder that stands for each volume's root ("X:\"), so files written to
// a drive land in the state folder and never anywhere else on this computer.
#include <QString>

#include <cstdint>
#include <mutex>

#include "VirtualBoard/Machine.h"

namespace vb {

class Volumes final : public Component {
public:
    explicit Volumes(Machine& machine);

    // Bit 0 = A ... bit 25 = Z.
    uint32_t LetterMask() const;
    // A new, empty volume under the letter; false when the letter is not A-Z or in use.
    bool Assign(char16_t letter);
    // The volume and everything on it go; false when no volume has the letter.
    bool Remove(char16_t letter);
    // The folder of the volume's root (created when needed); empty when no volume has the letter.
    QString RootPath(char16_t letter) const;

    static bool IsDriveLetter(char16_t letter) { return letter >= u'A' && letter <= u'Z'; }

private:
    static QString FolderOf(char16_t letter);

    mutable std::mutex m_mutex;
    uint32_t m_mask = 0;
};

} // namespace vb
