#pragma once
// The computer the program runs on is the simulated machine. Its board is the one
// built in, or the board file $VELOCREST_BOARD names.
#include <QString>

namespace plat {

// Loads the board file $VELOCREST_BOARD names, a relative path taken from the
// current folder (call it before the program changes its folder), and keeps its
// absolute path for every later load. True when no file is named; false, with the
// file and the reason in error, when the named one cannot be loaded: the program
// then must not go on with another board than the one asked for.
bool SelectSimulatedBoard(QString* error);

} // namespace plat
