#include "Shell/PluginFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <elf.h>
#include <type_traits>
#include <vector>

#include "Engine/Log.h"

namespace plugin {

namespace {

// The ELF kind of the running program: its class, byte order and machine.
constexpr bool k64Bit = sizeof(void*) == 8;
using Ehdr = std::conditional_t<k64Bit, Elf64_Ehdr, Elf32_Ehdr>;
using Phdr = std::conditional_t<k64Bit, Elf64_Phdr, Elf32_Phdr>;
constexpr unsigned char kClass = k64Bit ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kData = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__)
constexpr uint16_t kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr uint16_t kMachine = EM_386;
#elif defined(__arm__)
constexpr uint16_t kMachine = EM_ARM;
#elif defined(__powerpc64__)
constexpr uint16_t kMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr uint16_t kMachine = EM_S390;
#elif defined(__riscv)
constexpr uint16_t kMachine = EM_RISCV;
#elif defined(__loongarch__)
constexpr uint16_t kMachine = EM_LOONGARCH;
#elif defined(__mips__)
constexpr uint16_t kMachine = EM_MIPS;
#else
#error "the ELF machine of this processor is not known"
#endif

// [offset, offset + size) lies inside a file of fileSize bytes (without overflowing).
bool Inside(uint64_t offset, uint64_t size, uint64_t fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

bool Fail(QString* why, const char* text)
{
    if (why)
        *why = QString::fromLatin1(text);
    return false;
}

} // namespace

bool IsLoadableLibrary(const QString& path, QString* why)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return Fail(why, "it is not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(why, "it cannot be read");
    const uint64_t fileSize = static_cast<uint64_t>(file.size());

    Ehdr header{};
    if (file.read(reinterpret_cast<char*>(&header), sizeof header) != static_cast<qint64>(sizeof header)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return Fail(why, "it is not a shared library (no ELF header)");
    if (header.e_ident[EI_CLASS] != kClass || header.e_ident[EI_DATA] != kData || header.e_machine != kMachine)
        return Fail(why, "it is built for another kind of machine");
    if (header.e_type != ET_DYN)
        return Fail(why, "it is not a shared library");
    if (header.e_phnum == 0 || header.e_phnum == PN_XNUM || header.e_phentsize != sizeof(Phdr)
        || !Inside(header.e_phoff, uint64_t(header.e_phnum) * sizeof(Phdr), fileSize))
        return Fail(why, "its program headers do not lie inside the file");

    std::vector<Phdr> segments(header.e_phnum);
    const qint64 tableSize = static_cast<qint64>(segments.size() * sizeof(Phdr));
    if (!file.seek(static_cast<qint64>(header.e_phoff))
        || file.read(reinterpret_cast<char*>(segments.data()), tableSize) != tableSize)
        return Fail(why, "its program headers cannot be read");
    bool loadable = false;
    for (const Phdr& segment : segments) {
        if (segment.p_type != PT_LOAD)
            continue;
        loadable = true;
        if (!Inside(segment.p_offset, segment.p_filesz, fileSize))
            return Fail(why, "a loadable segment lies beyond the end of the file (the file is cut short)");
    }
    if (!loadable)
        return Fail(why, "it has no loadable segment");
    return true;
}

QStringList Entries(const QString& folder, const QString& pattern, QDir::SortFlags sort)
{
    return QDir(folder).entryList({pattern}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, sort);
}

bool CheckLibrary(const QString& path)
{
    QString why;
    if (IsLoadableLibrary(path, &why))
        return true;
    Refuse(path, why);
    return false;
}

void Refuse(const QString& path, const QString& why)
{
    g_Log.Write(ltError, "Plug-in %s is not loaded: %s.\n", qPrintable(path), qPrintable(why));
}

QFunctionPointer Resolve(QLibrary& library, const QString& path, const char* name)
{
    const QFunctionPointer function = library.resolve(name);
    if (!function)
        Refuse(path, QStringLiteral("it has no entry point %1").arg(QLatin1String(name)));
    return function;
}

} // namespace plugin
