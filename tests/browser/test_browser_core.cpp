#include "browser/core/mounts.h"
#include "browser/core/paths.h"
#include "browser/core/pattern.h"
#include "browser/core/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace velumbra;

namespace {

struct PatternCase
{
    std::u16string pattern;
    std::u16string name;
    bool listed;
};

class PatternTest : public testing::TestWithParam<PatternCase>
{
};

TEST_P(PatternTest, MatchesTheWholeNameIgnoringCase)
{
    const PatternCase &c = GetParam();
    EXPECT_EQ(NamePattern(c.pattern).matches(c.name), c.listed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PatternTest,
    testing::Values(
        PatternCase{u"*.jpg", u"a.jpeg", false}, PatternCase{u"*.jpg", u"a.JPG", true},
        PatternCase{u"*.jpg", u"a.jpg.txt", false}, PatternCase{u"*.bmp;*.rle", u"PHOTO.BMP", true},

        PatternCase{u"*.bmp;*.rle", u"photo.gif", false},
        PatternCase{u"*.jpg;*.jpeg;*.gif", u"x.Jpeg", true}, PatternCase{u"", u"anything", true},
        PatternCase{u"*", u"no-dot", true}, PatternCase{u"*.*", u"no-dot", false},
        PatternCase{u"?.bmp", u"a.bmp", true}, PatternCase{u"?.bmp", u"ab.bmp", false},
        PatternCase{u"?.bmp", u".bmp", false}, PatternCase{u"a*b*c", u"aXXbYYbZc", true},
        PatternCase{u"a*b*c", u"acb", false}, PatternCase{u"**x", u"x", true},
        // Taken as typed: blanks are part of the pattern, an empty part
        // matches no file name.
        PatternCase{u" *.jpg", u"a.jpg", false}, PatternCase{u";", u"a.jpg", false},
        PatternCase{u"*.gif;", u"a.gif", true},
        // Accented and other alphabets fold too.
        PatternCase{u"été*", u"ÉTÉ 2020.jpg", true}, PatternCase{u"*.jpg", u"ÉTÉ.JPG", true},
        PatternCase{u"ŁÓDŹ.*", u"łódź.png", true}, PatternCase{u"москва*", u"МОСКВА.bmp", true},

        // "?" is one character, also outside the basic plane.
        PatternCase{u"?.png", u"😀.png", true}, PatternCase{u"??.png", u"😀.png", false},
        PatternCase{u"*?.png", u"😀.png", true},
        // Not folded into one another.
        PatternCase{u"e*", u"é.bmp", false}, PatternCase{u"×", u"÷", false},
        // A "*" in the name is a character like any other, never a second wildcard.
        PatternCase{u"*.bmp", u"*photo.bmp", true}, PatternCase{u"*.bmp", u"**.bmp", true},
        PatternCase{u"a*", u"a*b", true}, PatternCase{u"*b", u"*a", false}));

TEST(PatternTest, NoBacktrackingBlowUp)
{
    const std::u16string name(5000, u'a');
    EXPECT_FALSE(NamePattern(u"*a*a*a*a*a*a*a*a*b").matches(name));
}

TEST(SortTest, AlphabeticalIgnoringCaseWithATotalOrder)
{
    std::vector<std::u16string> names{u"b.jpg",  u"A.jpg", u"a.jpg",  u"Été.jpg", u"été.jpg",
                                      u"ab.jpg", u"B.JPG", u"10.jpg", u"9.jpg",   u"a"};
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    const std::vector<std::u16string> expected{u"10.jpg",  u"9.jpg",  u"a",     u"A.jpg",
                                               u"a.jpg",   u"ab.jpg", u"B.JPG", u"b.jpg",
                                               u"Été.jpg", u"été.jpg"};
    EXPECT_EQ(names, expected);
}

struct JoinCase
{
    std::string folder;
    std::string name;
    char separator;
    std::string path;
};

class JoinTest : public testing::TestWithParam<JoinCase>
{
};

TEST_P(JoinTest, SeparatorOnlyWhereTheFolderLacksOne)
{
    const JoinCase &c = GetParam();
    EXPECT_EQ(joinPath(c.folder, c.name, c.separator), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JoinTest,
    testing::Values(JoinCase{"C:\\", "a.bmp", '\\', "C:\\a.bmp"},
                    JoinCase{"C:\\Images", "a.bmp", '\\', "C:\\Images\\a.bmp"},
                    JoinCase{"/", "a.bmp", '/', "/a.bmp"},
                    JoinCase{"/home/moi/Images", "a.bmp", '/', "/home/moi/Images/a.bmp"},
                    JoinCase{"/media/clé usb", "été.jpg", '/', "/media/clé usb/été.jpg"},
                    // No current entry: the folder and a separator, as the release on
                    // the preview builds it.
                    JoinCase{"C:\\Images", "", '\\', "C:\\Images\\"}, JoinCase{"/", "", '/', "/"}));

TEST(FolderRowsTest, RootDownToTheCurrentFolderThenItsSubfolders)
{
    const std::vector<FolderRow> rows = folderRows("/home/moi", {"Images", "Vacances"}, '/');
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<std::string> labels{"/", "home", "moi", "Images", "Vacances"};
    const std::vector<std::string> paths{"/", "/home", "/home/moi", "/home/moi/Images",
                                         "/home/moi/Vacances"};
    const std::vector<int> depths{0, 1, 2, 3, 3};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label, labels[i]);
        EXPECT_EQ(rows[i].path, paths[i]);
        EXPECT_EQ(rows[i].depth, depths[i]);
        EXPECT_EQ(rows[i].current, i == 2);
    }
}

TEST(FolderRowsTest, WindowsRootsAndShares)
{
    struct Case
    {
        std::string path;
        std::vector<std::string> paths;
    } cases[] = {
        {"C:\\", {"C:\\"}},
        {"C:", {"C:\\"}},
        {"D:\\Images\\2020", {"D:\\", "D:\\Images", "D:\\Images\\2020"}},
        {"\\\\nas\\photos\\été", {"\\\\nas\\photos\\", "\\\\nas\\photos\\été"}},
        {"relative\\path", {}},
    };
    for (const Case &c : cases) {
        std::vector<std::string> got;
        for (const FolderRow &r : folderRows(c.path, {}, '\\'))
            got.push_back(r.path);
        EXPECT_EQ(got, c.paths) << c.path;
    }
    const std::vector<FolderRow> root = folderRows("/", {"home"}, '/');
    ASSERT_EQ(root.size(), 2u);
    EXPECT_TRUE(root[0].current);
    EXPECT_EQ(root[1].path, "/home");
}

TEST(MountsTest, KeepsWhatAPersonBrowses)
{
    const std::string table =
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "22 26 0:21 / /sys rw,relatime shared:2 - sysfs sysfs rw\n"
        "23 26 0:6 / /dev rw - devtmpfs devtmpfs rw,size=1k\n"
        "26 1 254:0 / / rw,relatime shared:1 - overlay overlay rw,lowerdir=/x\n"
        "40 26 8:2 /@home /home rw shared:5 - btrfs /dev/sda2 rw\n"
        "41 26 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
        "42 26 0:40 / /run rw - tmpfs tmpfs rw\n"
        "44 43 0:42 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "45 42 8:17 / /run/media/moi/CLÉ rw - vfat /dev/sdb1 rw\n"
        "46 26 8:33 / /media/moi/Photos\\040de\\040vacances rw - exfat /dev/sdc1 rw\n"
        "47 26 0:50 / /mnt/nas rw - nfs4 nas:/export rw\n"
        "48 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
        "50 26 8:3 / /data rw - ext4 /dev/sda3 rw\n"
        "52 26 8:3 /x /var/lib/docker rw - ext4 /dev/sda3 rw\n"
        "53 26 0:53 / /mnt/ram rw - tmpfs tmpfs rw\n"
        "54 26 8:2 / /home rw - btrfs /dev/sda2 rw\n"
        "garbage line\n"
        "55 26 8:4 / relative - ext4 /dev/sda4 rw\n";
    const std::vector<std::string> expected{
        "/", "/data", "/home", "/media/moi/Photos de vacances", "/mnt/nas", "/run/media/moi/CLÉ"};
    EXPECT_EQ(browsableMounts(table), expected);
}

TEST(MountsTest, RootIsAlwaysListed)
{
    EXPECT_EQ(browsableMounts(""), std::vector<std::string>{"/"});
    EXPECT_EQ(browsableMounts("26 1 0:2 / / rw - rootfs rootfs rw\n"),
              std::vector<std::string>{"/"});
    EXPECT_EQ(unescapeMountField("a\\011b\\134c\\\\d\\9"), "a\tb\\c\\\\d\\9");
}

TEST(DecodeSizeTest, ThePreviewInDevicePixelsNeverMoreThanThePicture)
{
    struct Case
    {
        PixelSize picture;
        double ratio;
        PixelSize decoded;
    } cases[] = {
        {{6000, 4000}, 1.0, {3000, 2000}},
        {{801, 601}, 1.0, {401, 301}},
        {{6000, 4000}, 2.0, {6000, 4000}},
        {{6000, 4000}, 1.5, {4500, 3000}},
        {{1, 1}, 1.0, {1, 1}},
        {{3, 1}, 1.25, {2, 1}},
        {{100, 100}, 0.0, {50, 50}},
        {{100, 100}, 4.0, {100, 100}},
    };
    // The preview is half the picture, rounded up.
    EXPECT_EQ(previewPixels({801, 601}), (PixelSize{401, 301}));
    EXPECT_EQ(previewPixels({1, 1}), (PixelSize{1, 1}));
    for (const Case &c : cases)
        EXPECT_EQ(decodeSize(c.picture, c.ratio), c.decoded)
            << c.picture.width << "x" << c.picture.height << " @" << c.ratio;
}

TEST(PreviewBoundsTest, CameraPicturesPassBombsAndStripsDoNot)
{
    struct Case
    {
        PixelSize size;
        bool shown;
    } cases[] = {
        {{8256, 5504}, true},  // 45 MP, refused by Qt's default limit
        {{11648, 8736}, true}, // 100 MP medium format
        {{16384, 8192}, true}, // exactly 512 MB
        {{16384, 8193}, false},
        {{60000, 60000}, false},
        {{0, 10}, false},
        {{10, -1}, false},
        // Strips: a few pixels, but too long to scale or show.
        {{65534, 2048}, true},
        {{1, 65534}, true},
        {{65535, 1}, false},
        {{2, 65535}, false},
        {{524288, 2}, false},
        {{2097213, 4}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(previewCanShow(c.size), c.shown) << c.size.width << "x" << c.size.height;
}

TEST(InfoLineTest, ExactText)
{
    EXPECT_EQ(infoLine("C:\\Images\\a.bmp", PixelSize{800, 600}, 1024, 768),
              "C:\\Images\\a.bmp (800 x 600 pixels pour un écran de 1024 x 768)");
    EXPECT_EQ(infoLine("/i/12345.jpg", PixelSize{10000, 1}, 0, 0),
              "/i/12345.jpg (10000 x 1 pixels pour un écran de 0 x 0)");
    // After a failed decode the size part is left out.
    EXPECT_EQ(infoLine("/i/texte.jpg", std::nullopt, 1280, 1024), "/i/texte.jpg");
}

TEST(FolderProblemTest, NamesTheFolderAndTheReason)
{
    EXPECT_EQ(folderProblemMessage("/media/clé", FolderProblem::Missing),
              "Impossible d'ouvrir le dossier « /media/clé » : ce dossier n'existe pas ou plus.");
    EXPECT_EQ(folderProblemMessage("E:\\", FolderProblem::DriveNotReady),
              "Impossible d'ouvrir le dossier « E:\\ » : le lecteur n'est pas prêt (aucun support "
              "inséré ou support retiré).");
}

} // namespace
