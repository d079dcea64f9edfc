// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/appcontext.h"

#include <memory>

namespace velumbra {

/// Runs Velumbra: checks for a display, loads Qt's French translations, shows
/// the main window and returns the program's exit code.
int runVelumbra(int argc, char **argv);

/// Loads Qt's own French translations into the running application.
void installFrenchTranslations();

/// The machine's real services, as the program uses them. Needs a running
/// QApplication.
class SystemServices
{
public:
    SystemServices();
    ~SystemServices();
    SystemServices(const SystemServices &) = delete;
    SystemServices &operator=(const SystemServices &) = delete;

    [[nodiscard]] AppContext context();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace velumbra
