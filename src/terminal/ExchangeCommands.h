#pragma once
// The commands of the exchange: export writes a package as the export screens do, import
// merges one as the import screens do (or, with --dry-run, shows what it would do). Both
// that write hold the data folder's lock while they work.

#include "terminal/CommandArguments.h"

namespace terminal {

class Site;

int runExport(const CommandArguments &arguments, Site &site);
int runImport(const CommandArguments &arguments, Site &site);

} // namespace terminal
