#pragma once
// The document command: the tips saved as HTML, Markdown or PDF, as Tools > Save Tips As
// Document does. It only reads the tips, so it runs while the window is open.

#include "terminal/CommandArguments.h"

namespace terminal {

class Site;

int runDocument(const CommandArguments &arguments, Site &site);

} // namespace terminal
