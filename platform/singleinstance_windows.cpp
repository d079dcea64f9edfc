// SPDX-License-Identifier: GPL-3.0-or-later
// One instance on Windows: a named pipe per user (QLocalServer's own kind).

#include "platform/singleinstance.h"

#include <QString>

namespace velumbra {

std::unique_ptr<SingleInstance> createSingleInstance(const std::string &id)
{
    // Pipe names are shared by every session of the machine.
    return createLocalSocketInstance(id + "-" + qEnvironmentVariable("USERNAME").toStdString());
}

} // namespace velumbra
