#include "Platform/Diagnostics.h"

#include "VirtualBoard/Journal.h"

namespace plat {

void SetDiagnosticSink(DiagnosticSink sink) { vb::SetReportSink(sink); }

} // namespace plat
