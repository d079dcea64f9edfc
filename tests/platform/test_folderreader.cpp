// SPDX-License-Identifier: GPL-3.0-or-later
// The folder reader against the real file system: on Linux through readdir,
// on Windows (wine) through FindFirstFileExW.
#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using namespace velumbra;

namespace {

enum class Make { File, Folder, LinkToFile, LinkToFolder, BrokenLink };
constexpr unsigned kAbsent = 0;
constexpr unsigned kFile = unsigned(EntryKind::File);
constexpr unsigned kFolder = unsigned(EntryKind::Subfolder);
const bool kPosix = fs::path::preferred_separator == '/';

// name: bytes on Linux
// clang-format off
struct Row { std::string name; Make make; unsigned listedAs; bool posixOnly = false; };
// clang-format on

// Each row would catch: hidden entries listed, a link's type taken from the
// link rather than what it leads to, a broken link listed, a name that is not
// UTF-8 dropped or changed.
const Row kRows[] = {
    {"Photo.jpg", Make::File, kFile},
    {"sub", Make::Folder, kFolder},
    {".hidden.jpg", Make::File, kAbsent},
    {"to-file.jpg", Make::LinkToFile, kFile, true},
    {"to-folder", Make::LinkToFolder, kFolder, true},
    {"nowhere.jpg", Make::BrokenLink, kAbsent, true},
    {"\xE9t\xE9.jpg", Make::File, kFile, true},
};

class FolderReader : public testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("velumbra-reader-" + std::to_string(rand()));
        fs::create_directories(m_root);
        for (const Row &row : kRows) {
            if (row.posixOnly && !kPosix)
                continue;
            const fs::path p = m_root / fs::path(row.name);
            if (row.make == Make::File)
                std::ofstream(p) << "x";
            else if (row.make == Make::Folder)
                fs::create_directory(p);
            else if (row.make == Make::LinkToFolder)
                fs::create_directory_symlink(m_root / "sub", p);
            else
                fs::create_symlink(m_root / (row.make == Make::LinkToFile ? "Photo.jpg" : "gone"),
                                   p);
        }
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path m_root;
};

TEST_F(FolderReader, HandsOverWhatIsVisibleWithItsKind)
{
    const std::u8string path = m_root.u8string();
    const std::string root(path.begin(), path.end());
    std::map<std::string, unsigned> listed;
    const auto record = [&](EntryKind kind, std::u16string_view name) {
        listed[fileNameOfText(name)] = unsigned(kind);
    };
    const Result<> read = readFolder(root, record);
    ASSERT_TRUE(read.ok()) << read.reason();
    for (const Row &row : kRows) {
        if (row.posixOnly && !kPosix)
            continue;
        const auto found = listed.find(row.name);
        EXPECT_EQ(found == listed.end() ? kAbsent : found->second, row.listedAs) << row.name;
        // Where the file system leaves the type unknown, asking it must agree.
        if (row.name[0] != '.') {
            EXPECT_EQ(lookUpKind(root, row.name), row.listedAs) << row.name;
        }
    }
    EXPECT_FALSE(readFolder(root + "/gone", record).ok());
}

TEST(FileNameText, KeepsEveryByteAndShowsWhatIsNotText)
{
    // clang-format off
    struct Case { std::string bytes; std::u16string shown; bool foreign; };
    // clang-format on
    // Would catch: overlong forms or encoded surrogates taken as text (two
    // names then read as one), a byte lost, valid text escaped.
    const Case cases[] = {
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9", false},
        {"\xF0\x9F\x8C\x85.jpg", u"\U0001F305.jpg", false},
        {"\xE9t\xE9", u"\uFFFDt\uFFFD", true},
        {"\xC0\xAF", u"\uFFFD\uFFFD", true},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", true},
        {"a\xF0\x9F\x8C", u"a\uFFFD\uFFFD\uFFFD", true},
    };
    for (const Case &c : cases) {
        const std::u16string text = textOfFileName(c.bytes);
        EXPECT_EQ(fileNameOfText(text), c.bytes);
        EXPECT_EQ(shownName(text), c.shown);
        EXPECT_EQ(holdsForeignBytes(text), c.foreign);
    }
}

} // namespace
