// SPDX-License-Identifier: GPL-3.0-or-later
// File existence and process start against the real Linux file system and processes.
#include "platform/files.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velumbra {
namespace {

namespace fs = std::filesystem;

TEST(SystemServices, OnlyOrdinaryFilesExistAndOnlyProgramsStart)
{
    const fs::path dir = fs::temp_directory_path() / ("velumbra-" + std::to_string(::getpid()));
    fs::create_directories(dir / "dossier");
    std::ofstream(dir / "texte.txt") << "pas un programme\n";
    const std::string text = (dir / "texte.txt").string(), absent = (dir / "absent").string();
    const SystemFileProbe probe;
    EXPECT_TRUE(probe.fileExists(text));
    for (const std::string &path : {(dir / "dossier").string(), absent, std::string()})
        EXPECT_FALSE(probe.fileExists(path)) << path;

    SystemProcessStarter starter;
    EXPECT_TRUE(starter.startDetached("/bin/true"));
    // Not executable, absent, nothing; a shell would run the last one, an argument list never does.
    for (const std::string &path : {text, absent, std::string(), "/bin/true; touch " + absent})
        EXPECT_FALSE(starter.startDetached(path)) << path;
    EXPECT_FALSE(fs::exists(absent));
    fs::remove_all(dir);
}

} // namespace
} // namespace velumbra
