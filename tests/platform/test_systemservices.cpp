// File existence and process start against the real Linux file system and processes.
#include "platform/files.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace velumbra {
namespace {

namespace fs = std::filesystem;

class SystemServicesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velumbra-about-" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "dossier");
        std::ofstream(m_dir / "texte.txt") << "pas un programme\n";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

TEST_F(SystemServicesTest, FileExistsOnlyForOrdinaryFiles)
{
    const SystemFileProbe probe;
    EXPECT_TRUE(probe.fileExists((m_dir / "texte.txt").string()));
    EXPECT_FALSE(probe.fileExists((m_dir / "dossier").string()));
    EXPECT_FALSE(probe.fileExists((m_dir / "absent").string()));
    EXPECT_FALSE(probe.fileExists(""));
}

TEST_F(SystemServicesTest, StartsOnlyRealPrograms)
{
    SystemProcessStarter starter;
    EXPECT_TRUE(starter.startDetached("/bin/true"));
    EXPECT_FALSE(starter.startDetached(""));
    EXPECT_FALSE(starter.startDetached((m_dir / "absent").string()));
    EXPECT_FALSE(starter.startDetached((m_dir / "texte.txt").string())) << "not executable";
    // A shell would run this; an argument list never does.
    EXPECT_FALSE(starter.startDetached("/bin/true; touch " + (m_dir / "injecte").string()));
    EXPECT_FALSE(fs::exists(m_dir / "injecte"));
}

TEST(SystemProcessStarter, SearchFoldersFollowPathAndSkipEmptyEntries)
{
    const char *saved = std::getenv("PATH");
    const std::string before = saved ? saved : "";
    ::setenv("PATH", ":/usr/local/bin::/usr/bin:/opt/mes outils:", 1);
    const std::vector<std::string> folders = SystemProcessStarter().searchFolders();
    ::setenv("PATH", before.c_str(), 1);
    EXPECT_EQ(folders, (std::vector<std::string>{"/usr/local/bin", "/usr/bin", "/opt/mes outils"}));
}

} // namespace
} // namespace velumbra
