#include "Shell/OverclockWarning.h"

#include <QObject>

#include "Shell/MessageBox.h"

QString ProductTitle() { return QObject::tr("Vyk Velocrest"); }

QString OverclockWarningText()
{
    return QObject::tr(
        "WARNING: Operating your processor outside of official Vyk specifications or outside of factory settings, "
        "including but not limited to the conducting of overclocking (including use of this overclocking software, "
        "even if such software has been directly or indirectly provided by Vyk or otherwise affiliated in any way "
        "with Vyk), may cause damage to your Vyk or Juv processor, system components and/or result in system "
        "failure, as well as cause other problems.  Please make sure you have saved all important data before "
        "continuing.  DAMAGES CAUSED BY USE OF YOUR VYK OR JUV PROCESSOR OUTSIDE OF OFFICIAL VYK SPECIFICATIONS OR "
        "OUTSIDE OF FACTORY SETTINGS ARE NOT COVERED UNDER ANY VYK PRODUCT WARRANTY AND MAY NOT BE COVERED BY YOUR "
        "BOARD OR SYSTEM MANUFACTURER'S WARRANTY.   See End User License Agreement under Vyk Velocrest or the "
        "applicable Vyk overclocking utility for details.");
}

bool AskOverclockWarning()
{
    return msgbox::Show(nullptr, QMessageBox::Warning, ProductTitle(), OverclockWarningText(),
                        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton) == QMessageBox::Ok;
}
