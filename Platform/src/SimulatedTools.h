#pragma once
// The outside tools the command runner's stand-in simulates instead of running them.
#include <QString>
#include <QStringList>

#include <cstdint>

namespace plat {

// diskpart's script mode on the simulated disks and volumes: the exit code.
uint32_t RunSimulatedDiskpart(const QString& script);
// attrib on a drive path: 0 when the file exists, 1 otherwise.
uint32_t RunSimulatedAttrib(const QStringList& arguments);

} // namespace plat
