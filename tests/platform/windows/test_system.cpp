// File existence and process start on the real Windows file system and
// process creation.
#include "platform/files.h"
#include "platform/process.h"
#include "tests/platform/windows/winsupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velumbra {
namespace {

namespace fs = std::filesystem;

struct FileCase
{
    const char *label;
    const wchar_t *name;
    DWORD attributes; // 0: a folder
    bool exists;
};

void PrintTo(const FileCase &c, std::ostream *os)
{
    *os << c.label;
}

class FileExistence : public testing::TestWithParam<FileCase>
{
protected:
    wintest::TempFolder m_folder;
};

// Ordinary files count whatever else they are marked; hidden and system files
// and folders do not, as a directory search with normal attributes finds.
TEST_P(FileExistence, CountsOnlyOrdinaryFiles)
{
    const FileCase &c = GetParam();
    const fs::path path = m_folder.path() / c.name;
    if (c.attributes == 0) {
        fs::create_directory(path);
    } else {
        std::ofstream(path) << "contenu";
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), c.attributes));
        constexpr DWORD kMarks =
            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        ASSERT_EQ(GetFileAttributesW(path.c_str()) & kMarks, c.attributes & kMarks)
            << "the file system does not keep the attributes";
    }
    const std::optional<std::string> name = wintest::ansi(path.wstring());
    if (!name)
        GTEST_SKIP() << "the ANSI code page cannot spell " << wintest::utf8(path.wstring());

    EXPECT_EQ(SystemFileProbe().fileExists(*name), c.exists);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileExistence,
    testing::Values(FileCase{"Normal", L"MSINFO32.EXE", FILE_ATTRIBUTE_NORMAL, true},
                    FileCase{"Archive", L"archive.exe", FILE_ATTRIBUTE_ARCHIVE, true},
                    FileCase{"ReadOnly", L"lecture seule.exe", FILE_ATTRIBUTE_READONLY, true},
                    FileCase{"Accented", L"système é.exe", FILE_ATTRIBUTE_NORMAL, true},
                    FileCase{"Hidden", L"cache.exe", FILE_ATTRIBUTE_HIDDEN, false},
                    FileCase{"System", L"systeme.exe", FILE_ATTRIBUTE_SYSTEM, false},
                    FileCase{"Folder", L"MSINFO32.EXE", 0, false}),
    [](const testing::TestParamInfo<FileCase> &p) { return p.param.label; });

TEST(FileExistenceOfNothing, MissingAndEmptyNamesDoNotExist)
{
    const wintest::TempFolder folder;
    const SystemFileProbe probe;
    EXPECT_FALSE(probe.fileExists(""));
    EXPECT_FALSE(probe.fileExists(wintest::utf8((folder.path() / L"absent.exe").wstring())));
    EXPECT_FALSE(
        probe.fileExists(wintest::utf8((folder.path() / L"absent\\MSINFO32.EXE").wstring())));
}

// A program started detached runs on its own: the probe program signals a
// named event, so the test waits for an event, never for a time.
class ProcessStart : public testing::Test
{
protected:
    void SetUp() override
    {
        // Spaces in the folder and the name: the command line must quote them.
        const fs::path folder = m_folder.path() / L"mon dossier";
        fs::create_directory(folder);
        const std::wstring stem = L"programme d'essai " + std::to_wstring(GetCurrentProcessId());
        m_program = folder / (stem + L".exe");
        fs::copy_file(wintest::programFolder() / L"started_probe.exe", m_program);
        m_alone = CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + stem + L" seul").c_str());
        m_withArguments =
            CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + stem + L" avec arguments").c_str());
        ASSERT_NE(m_alone, nullptr);
        ASSERT_NE(m_withArguments, nullptr);
    }
    void TearDown() override
    {
        CloseHandle(m_alone);
        CloseHandle(m_withArguments);
    }

    wintest::TempFolder m_folder;
    fs::path m_program;
    HANDLE m_alone = nullptr;
    HANDLE m_withArguments = nullptr;
};

TEST_F(ProcessStart, StartsTheProgramWithoutArguments)
{
    SystemProcessStarter starter;
    ASSERT_TRUE(starter.startDetached(*wintest::ansi(m_program.wstring())));

    const HANDLE events[] = {m_alone, m_withArguments};
    const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, 60000);
    EXPECT_EQ(signalled, WAIT_OBJECT_0)
        << (signalled == WAIT_OBJECT_0 + 1 ? "the program got arguments" : "the program never ran");
}

TEST_F(ProcessStart, RefusesWhatIsNoProgram)
{
    SystemProcessStarter starter;
    const fs::path text = m_folder.path() / L"texte.txt";
    std::ofstream(text) << "pas un programme";
    EXPECT_FALSE(starter.startDetached(""));
    EXPECT_FALSE(
        starter.startDetached(*wintest::ansi((m_folder.path() / L"absent.exe").wstring())));
    EXPECT_FALSE(starter.startDetached(*wintest::ansi(text.wstring())));
    EXPECT_FALSE(starter.startDetached(*wintest::ansi(m_folder.path().wstring())));
    EXPECT_TRUE(starter.searchFolders().empty()) << "Windows looks in the registry only";
}

} // namespace
} // namespace velumbra
