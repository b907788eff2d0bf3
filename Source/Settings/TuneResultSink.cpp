#include "Settings/TuneResultSink.h"

#include <QString>

#include "QVXLogic/SystemTune.h"
#include "Settings/ConfigParser.h"

namespace {

// The tuner calls it from GetStatus, which the Auto Clock page asks on the GUI
// thread: the thread that owns the store.
class CTuneResultSink final : public IQvxValueSink {
public:
    void SetValue(const char16_t* group, const char16_t* subGroup, const char16_t* item, double value) override
    {
        if (!group || !subGroup || !item)
            return;
        CConfigParser::GetInstance()->SetValue(QString::fromUtf16(group), QString::fromUtf16(subGroup),
                                               QString::fromUtf16(item), value, true);
    }
};

CTuneResultSink g_TuneResultSink;

} // namespace

void InstallTuneResultSink() { QvxSetValueSink(&g_TuneResultSink); }

void RemoveTuneResultSink() { QvxSetValueSink(nullptr); }
