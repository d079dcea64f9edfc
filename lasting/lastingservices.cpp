// SPDX-License-Identifier: GPL-3.0-or-later
#include "lasting/lastingservices.h"

#include <QCoreApplication>
#include <QDir>

namespace velumbra {
namespace {

LastingPaths processPaths()
{
    return lastingPaths(QDir::homePath().toStdString(),
                        qEnvironmentVariable("XDG_STATE_HOME").toStdString(),
                        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString());
}

} // namespace

LastingServices::LastingServices(WallpaperSetter &desktop, const std::string &restoreProgram)
    : m_paths(processPaths()), m_store(m_paths.recordFile),
      m_autostart(m_paths.autostartFile, restoreProgram), m_setter(desktop, m_store, m_autostart)
{
}

std::string restoreProgramBesideThisOne()
{
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/velumbra-restore"))
        .toStdString();
}

} // namespace velumbra
