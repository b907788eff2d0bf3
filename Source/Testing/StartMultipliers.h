#pragma once
// Each core's multiplier as the program found the machine: what Auto Clock's Reset
// gives back. Taken once per run of the program, as soon as the device library is
// up and before any page can change a multiplier, so a main window built anew
// later (a change of language or of the page list) does not take the values of
// that moment. GUI thread only.
#include <vector>

class CStartMultipliers {
public:
    // Reads every core's multiplier, unless this run of the program already did.
    static void Take();
    // The multiplier core nCore started with; 0 when it was not found then.
    static double Get(unsigned long nCore);

    // A test's program ends: the next test's takes its own record.
    static void ForgetForTests();

private:
    static std::vector<double> s_Multipliers;
    static bool s_bTaken;
};
