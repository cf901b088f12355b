#pragma once
// The component folder of the flexora tests: a temporary folder holding a copy of the built
// libflexora.so, registered there through the component service (components.ini), as an
// installer would. Set up once per test run by a GoogleTest environment.

#include <QString>

namespace flexora_test {

// The temporary folder with libflexora.so and its components.ini.
QString componentFolder();
// The copy of libflexora.so in it.
QString componentLibrary();
// The built library in the program folder.
QString builtLibrary();

} // namespace flexora_test
