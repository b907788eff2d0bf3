#pragma once
// A save cut short (the program killed while it wrote a file) leaves the temporary
// it was writing beside the file. The next start removes those of the files the
// program and its stand-ins keep in their own folders; a temporary written since
// startedAt belongs to a save still running elsewhere and stays.
#include <QDateTime>

void RemoveLeftoverTemporaries(const QDateTime& startedAt);
