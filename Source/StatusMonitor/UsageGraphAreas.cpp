#include "StatusMonitor/UsageGraphAreas.h"

const char* SetUpGraphAreas(const GraphAreas& areas, GraphLayouts& layouts)
{
    static const char* const kLayoutNames[kGraphAreas] = {"pLayout[0]", "pLayout[1]", "pLayout[2]", "pLayout[3]"};
    for (QLabel* pArea : areas)
        ShowUsagePicture(pArea);
    for (int n = 0; n < kGraphAreas; ++n) {
        layouts[n] = new (std::nothrow) QGridLayout(areas[n]);
        if (!layouts[n])
            return kLayoutNames[n];
    }
    return nullptr;
}
