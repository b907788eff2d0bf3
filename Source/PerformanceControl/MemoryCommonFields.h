#pragma once
// The fields both Memory pages show alike: the same record field, value list,
// choice text and profile key, in a box of the same name on each page's form. One
// definition, so the two pages cannot drift apart in what they store under a key.
#include <initializer_list>

#include "PerformanceControl/MemoryRecordFields.h"

namespace memory {

// The parts in order, as one table.
inline Fields Joined(std::initializer_list<Fields> parts)
{
    Fields fields;
    for (const Fields& part : parts)
        fields.insert(fields.end(), part.begin(), part.end());
    return fields;
}

// CAS latency, row cycle time and the first refresh-cycle time.
template <class Form>
Fields LeadingTimingFields(const Form& ui)
{
    return {
        MEMORY_TIMING_FIELD(&ui.TclBox, Tcl, Tcl, "%1 bus clock", u"CAS Latency"),
        MEMORY_TIMING_FIELD(&ui.TrcBox, Trc, Trc, "%1 bus clock", u"Row Cycle Time"),
        MEMORY_TIMING_FIELD(&ui.TrfcBox, Trfc0, Trfc, "%1 ns", u"Row Refresh Cycle Time 0"),
    };
}

// From the RAS-to-CAS delay to the refresh rate.
template <class Form>
Fields CommonTimingFields(const Form& ui)
{
    return {
        MEMORY_TIMING_FIELD(&ui.TrcdBox, Trcd, Trcd, "%1 bus clock", u"RAS to CAS Delay"),
        MEMORY_TIMING_FIELD(&ui.TrrdBox, Trrd, Trrd, "%1 bus clock", u"RAS-to-RAS Delay"),
        MEMORY_TIMING_FIELD(&ui.TrasBox, Tras, Tras, "%1 bus clock", u"RAS Active Time"),
        MEMORY_TIMING_FIELD(&ui.TrpBox, Trp, Trp, "%1 bus clock", u"Row Precharge Time"),
        MEMORY_TIMING_FIELD(&ui.TwrBox, Twr, Twr, "%1 bus clock", u"Write Recovery Time"),
        MEMORY_TIMING_FIELD(&ui.TwtrBox, Twtr, Twtr, "%1 bus clock", u"Write-to-Read Delay"),
        MEMORY_TIMING_FIELD(&ui.TrefBox, Tref, Tref, "%1 us", u"Refresh Rate"),
    };
}

// Command timing, weak drivers, memory clock and asynchronous latency.
template <class Form>
Fields LeadingConfigFields(const Form& ui)
{
    Field memClk = MEMORY_CONFIG_FIELD(&ui.MemClkBox, MemClk, MemClk, "%1 MHz", u"Memory Clock");
    // The memory clocks are dividers of the reference clock.
    memClk.bListFollowsClock = true;
    return {
        MEMORY_FLAG_FIELD(&ui.En2TBox, En2T, fkFlag, u"Slow Access Mode"),
        MEMORY_FLAG_FIELD(&ui.D_DRV_WeakBox, D_DRV_Weak, fkFlag, u"DRAM Drivers Weak Mode"),
        memClk,
        MEMORY_CONFIG_FIELD(&ui.MaxAsyncLatBox, MaxAsyncLat, MaxAsyncLat, "%1 ns", u"MaxAsyncLat"),
    };
}

} // namespace memory
