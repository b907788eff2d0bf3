// Which files the plug-in loaders hand to the system's loader: only whole shared
// libraries of this machine's kind. Every case is a copy of the shipped device
// library, changed or cut short.
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <link.h>
#include <sys/stat.h>

#include "Shell/PluginFile.h"
#include "Source/Files.h"

namespace {

using Header = ElfW(Ehdr);

const QString kLibrary = QStringLiteral("Device/Copy.so");

template <class T>
void Put(QByteArray& bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

TEST(PluginFileTest, OnlyAWholeLibraryOfThisMachinesKindIsLoadable)
{
    const QByteArray shipped = test::ReadFile(QStringLiteral(VELOCREST_DEVICE_PLUGIN));
    ASSERT_GT(shipped.size(), 8192);
    Header header{};
    std::memcpy(&header, shipped.constData(), sizeof header);
    const qsizetype headersEnd = static_cast<qsizetype>(header.e_phoff + header.e_phnum * sizeof(ElfW(Phdr)));

    struct Case {
        const char* name;
        std::function<void(QByteArray&)> change;
        const char* why;        // part of the reason; empty: loadable
    };
    const Case cases[] = {
        {"whole", [](QByteArray&) {}, ""},
        {"first 8 kB", [](QByteArray& b) { b.truncate(8192); }, "a loadable segment lies beyond the end of the file"},
        {"headers only", [&](QByteArray& b) { b.truncate(headersEnd); }, "a loadable segment lies beyond the end"},
        {"file header only", [](QByteArray& b) { b.truncate(sizeof(Header)); },
         "its program headers do not lie inside the file"},
        {"program headers far out", [](QByteArray& b) { Put(b, offsetof(Header, e_phoff), ElfW(Off)(1) << 40); },
         "its program headers do not lie inside the file"},
        {"half a file header", [](QByteArray& b) { b.truncate(sizeof(Header) / 2); }, "no ELF header"},
        {"empty", [](QByteArray& b) { b.clear(); }, "no ELF header"},
        {"text", [](QByteArray& b) { b = "not a library"; }, "no ELF header"},
        {"other class", [](QByteArray& b) { b[EI_CLASS] = b[EI_CLASS] == ELFCLASS64 ? ELFCLASS32 : ELFCLASS64; },
         "it is built for another kind of machine"},
        {"other byte order", [](QByteArray& b) { b[EI_DATA] = b[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB; },
         "it is built for another kind of machine"},
        {"other machine", [&](QByteArray& b) { Put(b, offsetof(Header, e_machine), ElfW(Half)(header.e_machine + 1)); },
         "it is built for another kind of machine"},
        {"a program", [](QByteArray& b) { Put(b, offsetof(Header, e_type), ElfW(Half)(ET_EXEC)); },
         "it is not a shared library"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = shipped;
        c.change(bytes);
        ASSERT_TRUE(test::WriteFile(kLibrary, bytes));
        QString why;
        EXPECT_EQ(plugin::IsLoadableLibrary(kLibrary, &why), !*c.why);
        EXPECT_EQ(why.isEmpty(), !*c.why);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << qPrintable(why);
    }
}

TEST(PluginFileTest, OnlyARegularFileIsRead)
{
    // A pipe would block the reading, a folder cannot be mapped.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Device/Folder.so")));
    ASSERT_EQ(::mkfifo("Device/Pipe.so", 0600), 0);
    for (const char* name : {"Device/Folder.so", "Device/Pipe.so", "Device/Missing.so"}) {
        SCOPED_TRACE(name);
        QString why;
        EXPECT_FALSE(plugin::IsLoadableLibrary(QString::fromLatin1(name), &why));
        EXPECT_EQ(why, QStringLiteral("it is not a regular file"));
    }
}
