#pragma once

// What the end-to-end tests of the two lifetimes share, on top of the
// wallpaper tests' servers and pictures.

#include "tests/desktop/support.h"

#include <ostream>

// Readable QString values in failure messages.
void PrintTo(const QString &s, std::ostream *os);

namespace lastingtest {

using wallpapertest::Quadrants;
using wallpapertest::RunResult;

extern const Quadrants kPictureC;

// Whether Velumbra owes the desktop something, by the record under
// @p stateHome; the autostart entry under @p configHome must agree.
bool owed(const QString &stateHome, const QString &configHome);

// The program's setter (lasting_cli) and velumbra-restore, each in a process
// of its own with @p env ("NAME=value" sets, "-NAME" removes).
RunResult runLasting(const QStringList &args, const QStringList &env);
RunResult runRestore(const QStringList &env);
QString lastingCliPath();
QString restorePath();

// What @p program printed on standard output, less the final line break.
QString outputOf(const QString &program, const QStringList &args, const QStringList &env);

} // namespace lastingtest
