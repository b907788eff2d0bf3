#pragma once
// The machine's load average over 1, 5 and 15 minutes ("0.52 0.40 0.31"), printed
// beside time figures: they mean little on a busy machine.
#include <QString>

namespace bench {

QString LoadAverage();

} // namespace bench
