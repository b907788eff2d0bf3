#pragma once
// Where the device library's tuner leaves its results: the program's value store,
// written through the store itself (so the page sees them and the next save of the
// store keeps them). Installed once at start-up, removed before the shutdown.
void InstallTuneResultSink();
void RemoveTuneResultSink();
