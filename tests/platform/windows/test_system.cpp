// SPDX-License-Identifier: GPL-3.0-or-later
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

// Ordinary files count whatever else they are marked; hidden and system files
// and folders do not, as a directory search with normal attributes finds.
TEST(FileExistence, CountsOnlyOrdinaryFiles)
{
    const wintest::TempFolder folder;
    // attributes 0: a folder
    // clang-format off
    struct Case { const wchar_t *name; DWORD attributes; bool exists; };
    const Case cases[] = {{L"MSINFO32.EXE", FILE_ATTRIBUTE_NORMAL, true},
                          {L"archive.exe", FILE_ATTRIBUTE_ARCHIVE, true},
                          {L"lecture seule.exe", FILE_ATTRIBUTE_READONLY, true},
                          {L"système é.exe", FILE_ATTRIBUTE_NORMAL, true},
                          {L"cache.exe", FILE_ATTRIBUTE_HIDDEN, false},
                          {L"systeme.exe", FILE_ATTRIBUTE_SYSTEM, false},
                          {L"dossier", 0, false},
                          {L"absent.exe", FILE_ATTRIBUTE_NORMAL, false},
                          {L"absent\\MSINFO32.EXE", FILE_ATTRIBUTE_NORMAL, false}};
    // clang-format on
    for (const auto &c : cases) {
        const fs::path path = folder.path / c.name;
        SCOPED_TRACE(wintest::utf8(path));
        if (c.attributes == 0)
            fs::create_directory(path);
        else if (c.exists || c.attributes != FILE_ATTRIBUTE_NORMAL)
            std::ofstream(path) << "contenu", SetFileAttributesW(path.c_str(), c.attributes);
        EXPECT_EQ(SystemFileProbe().fileExists(wintest::ansi(path.wstring())), c.exists);
    }
    EXPECT_FALSE(SystemFileProbe().fileExists(""));
}

// A program started detached runs on its own: the probe program signals a
// named event, which tells whether its command line held anything besides
// its own name. The test waits for an event, never for a time.
TEST(ProcessStart, StartsOnlyProgramsAndQuotesTheirName)
{
    const wintest::TempFolder folder;
    fs::create_directory(folder.path / L"mon dossier");
    const std::wstring stem = L"programme d'essai " + std::to_wstring(GetCurrentProcessId());
    const fs::path program = folder.path / L"mon dossier" / (stem + L".exe");
    std::wstring self(32768, L'\0'); // the probe sits beside this test
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    fs::copy_file(fs::path(self).parent_path() / L"started_probe.exe", program);
    const HANDLE events[] = {
        CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + stem + L" seul").c_str()),
        CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + stem + L" avec arguments").c_str())};
    SystemProcessStarter starter;
    ASSERT_TRUE(starter.startDetached(wintest::ansi(program.wstring())));
    const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, 60000);
    EXPECT_EQ(signalled, WAIT_OBJECT_0)
        << (signalled == WAIT_OBJECT_0 + 1 ? "the program got arguments" : "the program never ran");
    CloseHandle(events[0]);
    CloseHandle(events[1]);

    std::ofstream(folder.path / L"texte.txt") << "pas un programme";
    for (const fs::path &path :
         {fs::path(), folder.path / L"absent.exe", folder.path / L"texte.txt", folder.path})
        EXPECT_FALSE(starter.startDetached(wintest::ansi(path.wstring()))) << wintest::utf8(path);
    EXPECT_TRUE(starter.searchFolders().empty()) << "Windows looks in the registry only";
}

} // namespace
} // namespace velumbra
