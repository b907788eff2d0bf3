#pragma once
// Family-11h processors keep no north-bridge clock of their own, so the pages that
// show one treat them apart. They are recognised by the two-letter code their
// revision names begin with, taken from the Engine's own revision table.
#include <QString>

// True when the revision text begins with the family-11h code (case-sensitive;
// a shorter text does not match).
bool IsFamily11hRevision(const QString& revision);
