#pragma once
// The folder for state that every process of this user shares while it runs (the
// service table, named semaphores and mutexes): $VELOCREST_RUNTIME_DIR, else
// "run" inside $VELOCREST_STATE_DIR (so each test is isolated), else
// $XDG_RUNTIME_DIR/VykVelocrest, else a per-user folder under the temp folder.
// Created on demand, readable by the user only.
#include <QString>

namespace plat {

QString RuntimeDir();

} // namespace plat
