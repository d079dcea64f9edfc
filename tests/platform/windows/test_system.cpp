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

// Ordinary files count; hidden files and folders do not, as a directory
// search with normal attributes finds.
TEST(FileExistence, CountsOnlyOrdinaryFiles)
{
    const wintest::TempFolder folder;
    std::ofstream(folder.path / L"MSINFO32.EXE") << "contenu";
    std::ofstream(folder.path / L"cache.exe") << "contenu";
    SetFileAttributesW((folder.path / L"cache.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(folder.path / L"dossier");
    for (const auto &[name, exists] : {std::pair{L"MSINFO32.EXE", true},
                                       {L"cache.exe", false},
                                       {L"dossier", false},
                                       {L"absent.exe", false}})
        EXPECT_EQ(SystemFileProbe().fileExists(wintest::ansi((folder.path / name).wstring())),
                  exists)
            << wintest::utf8(name);
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

    // Never through the shell, which would open a document with its program.
    std::ofstream(folder.path / L"texte.txt") << "pas un programme";
    EXPECT_FALSE(starter.startDetached(wintest::ansi((folder.path / L"texte.txt").wstring())));
}

} // namespace
} // namespace velumbra
