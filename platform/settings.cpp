// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings.h"

namespace velumbra {

Failure settingsNotSaved(std::string_view location, std::string_view reason)
{
    return Failure{"Les réglages n'ont pas pu être enregistrés dans « " + std::string(location) +
                   " » : " + std::string(reason) + "."};
}

} // namespace velumbra
