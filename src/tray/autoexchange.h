#pragma once

#include <QString>

// Whether the exchange folder holds reminders or contacts newer than the last
// import: [FImport] of the settings file at iniPath records when each kind was
// last imported and the age of the exchange file last exported or imported.
// Keys that are missing, or whose text does not parse, take their defaults,
// so an exchange that was never recorded counts as due.
bool AutoExpImpDue(const QString& iniPath);
