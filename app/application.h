#pragma once

namespace velumbra {

/// Runs Velumbra: checks for a display, loads Qt's French translations, shows
/// the main window and returns the program's exit code.
int runVelumbra(int argc, char **argv);

} // namespace velumbra
