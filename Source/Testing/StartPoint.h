#pragma once
// Each core's operating point as the program found the machine: its multiplier,
// its P-state and the core voltage. What Auto Clock's Reset gives back. Taken once
// per run of the program, as soon as the device library is up and before any page
// can change a clock or a voltage, so a main window built anew later (a change of
// language or of the page list) does not take the values of that moment. GUI
// thread only.
#include <vector>

class CStartPoint {
public:
    // Reads every core, unless this run of the program already did.
    static void Take();
    // The multiplier core nCore started with; 0 when it was not found then.
    static double Multiplier(unsigned long nCore);
    // The P-state core nCore started in; -1 when it has none or was not found.
    static int Pstate(unsigned long nCore);
    // The core voltage the processor started at (one plane for every core); 0 when
    // it could not be read.
    static double Voltage();

    // A test's program ends: the next test's takes its own record.
    static void ForgetForTests();

private:
    struct Core {
        double dMultiplier = 0;
        int nPstate = -1;
    };
    static std::vector<Core> s_Cores;
    static double s_dVoltage;
    static bool s_bTaken;
};
