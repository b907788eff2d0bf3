#pragma once
// Drive letters and drive paths. The drives are the simulated machine's volumes
// (VirtualBoard/Volumes.h); a path on a drive ("Y:\EMD.dat") maps to a file in the
// folder that stands for that drive's root, inside the state folder.
#include <QString>

#include <cstdint>

namespace plat {

// The letters in use: bit 0 = A ... bit 25 = Z.
uint32_t GetLogicalDrives();

// The local path of a drive path ("Y:\EMD.dat", "y:/dir/file"). Empty when the drive
// does not exist or the path is no absolute drive path or climbs out of the drive ("..").
QString LocalPathOfDrivePath(const QString& drivePath);

} // namespace plat
