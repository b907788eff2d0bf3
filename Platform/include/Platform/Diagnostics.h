#pragma once
// Where the stand-ins' diagnostics go (refused requests, unreadable files): the
// Engine points this at its log when it loads.
namespace plat {

using DiagnosticSink = void (*)(int type, const char* line);
void SetDiagnosticSink(DiagnosticSink sink);

} // namespace plat
