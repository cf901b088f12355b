#pragma once
// The commands that only read the tips (find, show, random): they work while the window or
// another command has the same data folder open.

#include <vector>

#include "terminal/CommandArguments.h"

namespace terminal {

class Site;

// random: what fits a login shell's greeting.
inline constexpr int kRandomCharacters = 400;
inline constexpr int kRandomLines = 8;

int runFind(const CommandArguments &arguments, Site &site);
int runShow(const CommandArguments &arguments, Site &site);
int runRandom(const CommandArguments &arguments, Site &site);

} // namespace terminal
