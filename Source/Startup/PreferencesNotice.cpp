#include "Startup/PreferencesNotice.h"

#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>

#include <cstdio>

#include "Platform/Registry.h"
#include "Settings/MiscSettings.h"
#include "Shell/MessageBox.h"
#include "Shell/OverclockWarning.h"

namespace {

// The copy kept of a damaged Preference.xml not yet told in a message, and the last
// change of the older copy it replaced, under the current user's product key.
constexpr char16_t kCopyValue[] = u"PreferenceCopy";
constexpr char16_t kGaveWayValue[] = u"PreferenceCopyReplaced";

QString Moment(const QDateTime& when) { return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }

} // namespace

QString KeptPreferencesNotice(const QString& copy, const QDateTime& gaveWay)
{
    // "<file>.bad", "<file>.bad2" ... "<file>.bad9"
    QString file = copy;
    file.remove(QRegularExpression(QStringLiteral("\\.bad\\d?$")));
    if (gaveWay.isValid())
        return QObject::tr("The preferences in %1 could not be read; the file was kept as %2, in place of the oldest "
                           "copy kept before (last changed %3), and the preferences are back at their defaults.")
            .arg(file, copy, Moment(gaveWay));
    return QObject::tr("The preferences in %1 could not be read; the file was kept as %2, and the preferences are "
                       "back at their defaults.").arg(file, copy);
}

QString DamagedPreferencesNotice()
{
    if (!g_MiscSettings.WasDamaged())
        return QString();
    const QString copy = g_MiscSettings.DamagedCopy();
    if (copy.isEmpty())
        return QObject::tr("The preferences in %1 could not be read, and the file could not be set aside: it is left as "
                           "it is, nothing is saved over it, and the preferences are at their defaults until it is "
                           "mended or removed.").arg(QFileInfo(CMiscSettings::FileName()).absoluteFilePath());
    return KeptPreferencesNotice(QFileInfo(copy).absoluteFilePath(), g_MiscSettings.ReplacedCopyChanged());
}

QString NoteDamagedPreferences()
{
    const QString notice = DamagedPreferencesNotice();
    if (notice.isEmpty())
        return notice;
    std::fprintf(stderr, "VykVelocrest: %s\n", qPrintable(notice));
    // A file left in place is found again at every start: only a copy needs noting.
    if (g_MiscSettings.DamagedCopy().isEmpty())
        return notice;
    plat::RegistryKey key;
    if (key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey) != plat::ERROR_SUCCESS)
        return notice;
    key.SetString(kCopyValue, QFileInfo(g_MiscSettings.DamagedCopy()).absoluteFilePath());
    const QDateTime gaveWay = g_MiscSettings.ReplacedCopyChanged();
    if (gaveWay.isValid())
        key.SetString(kGaveWayValue, gaveWay.toString(Qt::ISODate));
    else
        key.DeleteValue(kGaveWayValue);
    return notice;
}

void TellDamagedPreferences(QWidget* parent, const QString& startNotice)
{
    plat::RegistryKey key;
    QString copy, gaveWay;
    if (key.Open(plat::RegistryHive::CurrentUser, plat::kProductKey) == plat::ERROR_SUCCESS)
        key.QueryString(kCopyValue, copy);
    QStringList notices;
    if (!copy.isEmpty()) {
        key.QueryString(kGaveWayValue, gaveWay);
        notices << KeptPreferencesNotice(copy, QDateTime::fromString(gaveWay, Qt::ISODate));
    }
    if (!startNotice.isEmpty() && !notices.contains(startNotice))
        notices << startNotice;
    for (const QString& notice : notices) {
        msgbox::Show(parent, QMessageBox::Warning, ProductTitle(), notice, QMessageBox::Ok);
        if (!msgbox::LastAnswered())
            return;
    }
    if (!copy.isEmpty()) {
        key.DeleteValue(kCopyValue);
        key.DeleteValue(kGaveWayValue);
    }
}
