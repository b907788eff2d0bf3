// A plug-in page library for the widget-manager tests. Its behaviour comes from
// an INI file beside the library (same name, ".ini" for ".so"):
//   qm=<file below "language/">   GetQmFile's answer (absent: none)
//   names=<page>,<page>...        the pages CreateWidget makes, in order
//   failInit=<page>,...           pages whose Init fails
//   nullAt=<index>                CreateWidget gives null at this index
// Everything the pages go through is appended to "<name>.events", so a test can
// still read it after the library is unloaded.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <dlfcn.h>

#include "Shell/IQVXWidget.h"

namespace {

QString LibraryStem()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&LibraryStem), &info);
    QString path = QString::fromLocal8Bit(info.dli_fname);
    path.chop(3);                                   // ".so"
    return path;
}

QVariant Config(const char* key, const QVariant& fallback = QVariant())
{
    const QSettings settings(LibraryStem() + QStringLiteral(".ini"), QSettings::IniFormat);
    return settings.value(QLatin1String(key), fallback);
}

QStringList ListOf(const char* key) { return Config(key).toStringList(); }

void Event(const QString& text)
{
    QFile file(LibraryStem() + QStringLiteral(".events"));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((text + QLatin1Char('\n')).toUtf8());
}

class TestPage : public IQVXWidget {
public:
    explicit TestPage(const QString& name) : m_name(name.toUtf8()) { Event(QStringLiteral("create ") + name); }
    ~TestPage() override { Event(QStringLiteral("delete ") + QString::fromUtf8(m_name)); }
    bool Init() override
    {
        const QString name = QString::fromUtf8(m_name);
        Event(QStringLiteral("init ") + name + QLatin1Char(' ') + QCoreApplication::translate("TestPages", "Plug A"));
        return !ListOf("failInit").contains(name);
    }
    bool UnInit() override
    {
        Event(QStringLiteral("uninit ") + QString::fromUtf8(m_name));
        return true;
    }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return m_name.constData(); }

private:
    QByteArray m_name;
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) const char* GetQmFile(int languageType)
{
    static QByteArray qm;
    Event(QStringLiteral("qm %1").arg(languageType));
    if (Config("qm").isNull())
        return nullptr;
    qm = Config("qm").toString().toUtf8();
    return qm.constData();
}

#ifndef TEST_PAGES_WITHOUT_COUNT
__attribute__((visibility("default"))) unsigned int GetWidgetCount()
{
    return static_cast<unsigned int>(ListOf("names").size());
}
#endif

__attribute__((visibility("default"))) IQVXWidget* CreateWidget(unsigned int uIndex)
{
    const QStringList names = ListOf("names");
    if (static_cast<int>(uIndex) == Config("nullAt", -1).toInt() ||
        uIndex >= static_cast<unsigned int>(names.size()))
        return nullptr;
    return new TestPage(names.at(static_cast<int>(uIndex)));
}

} // extern "C"
