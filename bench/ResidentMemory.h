#pragma once
// This process's resident memory as the kernel counts it (/proc/self/status), for
// the figures of the program's memory use.
#include <QtGlobal>

namespace bench {

// Resident bytes now (VmRSS); 0 when unknown.
qint64 ResidentBytes();
// The most resident bytes since the process began or since ResetPeakResident (VmHWM).
qint64 PeakResidentBytes();
// Starts a new peak from the current figure; false where the kernel cannot.
bool ResetPeakResident();
// Bytes as megabytes (10^6) for the report.
inline double Megabytes(qint64 bytes) { return static_cast<double>(bytes) / 1e6; }

} // namespace bench
