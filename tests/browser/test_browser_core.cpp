// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/core/folderproblem.h"
#include "browser/core/paths.h"
#include "browser/core/pattern.h"
#include "browser/core/preview.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velumbra;

namespace {

// clang-format off
struct PatternCase { std::u16string pattern, name; bool listed; };
class PatternTest : public testing::TestWithParam<PatternCase> {};
// clang-format on

TEST_P(PatternTest, MatchesTheWholeNameIgnoringCase)
{
    EXPECT_EQ(NamePattern(GetParam().pattern).matches(GetParam().name), GetParam().listed);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PatternTest, testing::Values(
    PatternCase{u"*.jpg", u"a.jpeg", false}, PatternCase{u"*.jpg", u"a.JPG", true},
    PatternCase{u"*.jpg", u"a.jpg.txt", false}, PatternCase{u"*.bmp;*.rle", u"PHOTO.BMP", true},
    PatternCase{u"*.bmp;*.rle", u"photo.gif", false}, PatternCase{u"", u"anything", true},
    PatternCase{u"*", u"no-dot", true}, PatternCase{u"*.*", u"no-dot", false},
    PatternCase{u"?.bmp", u"a.bmp", true}, PatternCase{u"?.bmp", u"ab.bmp", false},
    PatternCase{u"?.bmp", u".bmp", false}, PatternCase{u"a*b*c", u"aXXbYYbZc", true},
    PatternCase{u"a*b*c", u"acb", false}, PatternCase{u"**x", u"x", true},
    // Taken as typed: blanks are part of the pattern, an empty part matches nothing.
    PatternCase{u" *.jpg", u"a.jpg", false}, PatternCase{u";", u"a.jpg", false},
    PatternCase{u"*.gif;", u"a.gif", true},
    // Accented and other alphabets fold too, into themselves only.
    PatternCase{u"été*", u"ÉTÉ 2020.jpg", true}, PatternCase{u"ŁÓDŹ.*", u"łódź.png", true},
    PatternCase{u"москва*", u"МОСКВА.bmp", true}, PatternCase{u"e*", u"é.bmp", false},
    PatternCase{u"×", u"÷", false},
    // "?" is one character, also outside the basic plane.
    PatternCase{u"?.png", u"😀.png", true}, PatternCase{u"??.png", u"😀.png", false},
    PatternCase{u"*?.png", u"😀.png", true},
    // A "*" in the name is a character like any other, never a second wildcard.
    PatternCase{u"*.bmp", u"**.bmp", true}, PatternCase{u"a*", u"a*b", true},
    PatternCase{u"*b", u"*a", false}));
// clang-format on

TEST(PatternTest, NoBacktrackingBlowUp)
{
    EXPECT_FALSE(NamePattern(u"*a*a*a*a*a*a*a*a*b").matches(std::u16string(5000, u'a')));
}

TEST(SortTest, AlphabeticalIgnoringCaseWithATotalOrder)
{
    std::vector<std::u16string> names{u"b.jpg",  u"A.jpg", u"a.jpg",  u"Été.jpg", u"été.jpg",
                                      u"ab.jpg", u"B.JPG", u"10.jpg", u"9.jpg",   u"a"};
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    EXPECT_EQ(names,
              (std::vector<std::u16string>{u"10.jpg", u"9.jpg", u"a", u"A.jpg", u"a.jpg", u"ab.jpg",
                                           u"B.JPG", u"b.jpg", u"Été.jpg", u"été.jpg"}));
}

TEST(PathTest, JoinsWithASeparatorOnlyWhereTheFolderLacksOne)
{
    EXPECT_EQ(joinPath("C:\\", "a.bmp", '\\'), "C:\\a.bmp");
    EXPECT_EQ(joinPath("C:\\Images", "a.bmp", '\\'), "C:\\Images\\a.bmp");
    // No current entry: the folder and a separator, as the release on the preview builds it.
    EXPECT_EQ(joinPath("C:\\Images", "", '\\'), "C:\\Images\\");
    EXPECT_EQ(joinPath("/", "", '/'), "/");
}

// Each row: the path, its separator, the subfolders; then every row's
// path, and its label and depth as "label:depth", the current one starred.
TEST(FolderRowsTest, RootDownToTheCurrentFolderThenItsSubfolders)
{
    // clang-format off
    const struct { std::string path; char separator; std::vector<std::string> subfolders, rows; }
    cases[] = {
        {"/home/moi", '/', {"Images"},
         {"/ /:0", "/home home:1", "/home/moi moi:2*", "/home/moi/Images Images:3"}},
        {"/", '/', {"home"}, {"/ /:0*", "/home home:1"}},
        {"C:", '\\', {}, {"C:\\ C:\\:0*"}},
        {"D:\\Images", '\\', {}, {"D:\\ D:\\:0", "D:\\Images Images:1*"}},
        {"\\\\nas\\photos\\été", '\\', {},
         {"\\\\nas\\photos\\ \\\\nas\\photos\\:0", "\\\\nas\\photos\\été été:1*"}},
        {"relative\\path", '\\', {}, {}},
    };
    // clang-format on
    for (const auto &c : cases) {
        std::vector<std::string> got;
        for (const FolderRow &r : folderRows(c.path, c.subfolders, c.separator))
            got.push_back(r.path + ' ' + r.label + ':' + std::to_string(r.depth) +
                          (r.current ? "*" : ""));
        EXPECT_EQ(got, c.rows) << c.path;
    }
}

TEST(PreviewTest, HalfThePictureInDevicePixelsNeverMoreThanThePicture)
{
    EXPECT_EQ(previewPixels({801, 601}), (PixelSize{401, 301}));
    EXPECT_EQ(previewPixels({1, 1}), (PixelSize{1, 1}));
    // clang-format off
    const struct { PixelSize picture; double ratio; PixelSize decoded; } cases[] = {
        {{6000, 4000}, 1.0, {3000, 2000}}, {{801, 601}, 1.0, {401, 301}},
        {{6000, 4000}, 2.0, {6000, 4000}}, {{6000, 4000}, 1.5, {4500, 3000}},
        {{3, 1}, 1.25, {2, 1}}, {{100, 100}, 0.0, {50, 50}}, {{100, 100}, 4.0, {100, 100}}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(decodeSize(c.picture, c.ratio), c.decoded) << c.picture.width << " @" << c.ratio;
}

TEST(PreviewTest, CameraPicturesPassBombsAndStripsDoNot)
{
    // 45 MP, refused by Qt's default limit; 100 MP medium format; exactly 512 MB;
    // then strips: a few pixels, but too long to scale or show.
    // clang-format off
    const std::pair<PixelSize, bool> cases[] = {
        {{8256, 5504}, true}, {{11648, 8736}, true}, {{16384, 8192}, true}, {{16384, 8193}, false},
        {{60000, 60000}, false}, {{0, 10}, false}, {{10, -1}, false},
        {{65534, 2048}, true}, {{1, 65534}, true}, {{65535, 1}, false}, {{2, 65535}, false},
        {{524288, 2}, false}, {{2097213, 4}, false}};
    // clang-format on
    for (const auto &[size, shown] : cases)
        EXPECT_EQ(previewCanShow(size), shown) << size.width << "x" << size.height;
}

TEST(MessagesTest, ExactTexts)
{
    EXPECT_EQ(infoLine("C:\\Images\\a.bmp", PixelSize{800, 600}, 1024, 768),
              "C:\\Images\\a.bmp (800 x 600 pixels pour un écran de 1024 x 768)");
    // After a failed decode the size part is left out.
    EXPECT_EQ(infoLine("/i/texte.jpg", std::nullopt, 1280, 1024), "/i/texte.jpg");
    EXPECT_EQ(screenSizeLine(1280, 1024), "La taille de l'écran est de 1280 pixels sur 1024");
    EXPECT_EQ(folderProblemMessage("/media/clé", FolderProblem::Missing),
              "Impossible d'ouvrir le dossier « /media/clé » : ce dossier n'existe pas ou plus.");
    EXPECT_EQ(folderProblemMessage("E:\\", FolderProblem::DriveNotReady),
              "Impossible d'ouvrir le dossier « E:\\ » : le lecteur n'est pas prêt (aucun support "
              "inséré ou support retiré).");
}

} // namespace
