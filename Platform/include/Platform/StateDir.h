#pragma once
// The program's state folder: where it keeps the files it writes for the system
// (scripts for outside tools, private profile files). The simulated machine's
// state folder, created owner-only when needed.
#include <QString>

namespace plat {

QString StateDir();

} // namespace plat
