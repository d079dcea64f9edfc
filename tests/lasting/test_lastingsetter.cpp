// SPDX-License-Identifier: GPL-3.0-or-later
// What the setter that keeps both lifetimes does with the files it finds: the
// lifetimes themselves are tested against each real desktop (tests/desktop);
// a record or an autostart entry that the program did not write needs no
// desktop, so a stand-in keeps every setting for good, as GNOME does. The
// record and the entry are the real files in a fresh folder, and each step
// starts from new objects, as a new process would.

#include "lasting/filestore.h"
#include "lasting/lastingsetter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>

using namespace velumbra;
namespace fs = std::filesystem;

namespace {

class StandInDesktop final : public WallpaperSetter
{
public:
    std::string shown = "/a.jpg";
    bool saverOn = true;
    bool refuseReading = false;

    [[nodiscard]] std::string name() const override { return "standin"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path, WallpaperLifetime) override
    {
        shown = path;
        return Result<>::success();
    }
    [[nodiscard]] Result<> disableScreenSaver() override
    {
        saverOn = false;
        return Result<>::success();
    }
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting) const override
    {
        return LifetimeSupport::StoredOnly;
    }
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override
    {
        if (refuseReading)
            return Failure{"illisible"};
        return what == LastingSetting::Wallpaper ? shown : std::string(saverOn ? "on" : "off");
    }
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override
    {
        if (what == LastingSetting::Wallpaper)
            shown = state;
        else
            saverOn = state == "on";
        return Result<>::success();
    }
};

struct LastingFiles : testing::Test
{
    // One step of a fresh process: the picture B set until logoff, or the login's restore.
    Result<> step(bool login)
    {
        FileLastingStore store(record);
        XdgAutostartEntry autostart(entry, "/usr/bin/velumbra-restore");
        LastingWallpaperSetter setter(desktop, store, autostart);
        return login ? setter.restoreAtLogin()
                     : setter.setWallpaper("/b.jpg", WallpaperLifetime::UntilLogoff);
    }

    QTemporaryDir dir;
    StandInDesktop desktop;
    const std::string record = dir.filePath(QStringLiteral("state/velumbra/lasting")).toStdString();
    const std::string entry =
        dir.filePath(QStringLiteral("config/autostart/velumbra-restore.desktop")).toStdString();
};

// An entry left by another installation (built by hand, then the package)
// would run a restore step that may be gone: it is brought up to date while
// something is owed, and removed once nothing is.
TEST_F(LastingFiles, AnEntryOfAnotherInstallationIsRewrittenOrRemoved)
{
    const auto oldEntry = [this] {
        fs::create_directories(fs::path(entry).parent_path());
        std::ofstream(entry) << *autostartEntryText("/usr/local/bin/velumbra-restore");
    };
    oldEntry();
    ASSERT_TRUE(step(false).ok());
    std::ifstream in(entry);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              *autostartEntryText("/usr/bin/velumbra-restore"));
    ASSERT_TRUE(step(true).ok());
    oldEntry(); // now with nothing owed
    ASSERT_TRUE(step(true).ok());
    EXPECT_FALSE(fs::exists(entry));
}

// What could not be put back at logoff is not changed: neither when the
// desktop's value cannot be read nor when the record cannot be written.
TEST_F(LastingFiles, NothingChangesWhatCannotBePutBackLater)
{
    desktop.refuseReading = true;
    const Result<> unread = step(false);
    EXPECT_NE(unread.reason().find("reste inchangé"), std::string::npos) << unread.reason();
    desktop.refuseReading = false;
    fs::create_directories(fs::path(record).parent_path().parent_path());
    std::ofstream(fs::path(record).parent_path()) << "in the way";
    EXPECT_FALSE(step(false).ok());
    FileLastingStore store(record);
    XdgAutostartEntry autostart(entry, "/usr/bin/velumbra-restore");
    EXPECT_FALSE(LastingWallpaperSetter(desktop, store, autostart).disableScreenSaver().ok());
    EXPECT_EQ(desktop.shown, "/a.jpg");
    EXPECT_TRUE(desktop.saverOn);
    EXPECT_FALSE(fs::exists(entry));
}

// Another desktop's values wait in the record for that desktop's own login.
TEST_F(LastingFiles, OtherDesktopsEntriesWaitForTheirLogin)
{
    fs::create_directories(fs::path(record).parent_path());
    std::ofstream(record) << formatLastingRecord({{"otherdesk.wallpaper", "X"}});
    ASSERT_TRUE(step(false).ok());
    EXPECT_TRUE(step(true).ok());
    EXPECT_EQ(desktop.shown, "/a.jpg");
    EXPECT_EQ(*FileLastingStore(record).load(), (LastingRecord{{"otherdesk.wallpaper", "X"}}));
    EXPECT_TRUE(fs::exists(entry));
}

// velumbra-restore once waited for ever on a pipe and read /dev/zero until it
// ran out of memory. A record that cannot be read is named and dropped at
// login, or it would stop every later change until logoff; one that could
// not be read back is not written.
TEST_F(LastingFiles, ARecordThatCannotBeReadIsRefusedAtOnceAndDroppedAtLogin)
{
    const std::string huge = formatLastingRecord({{"standin.wallpaper", "/a.jpg"}}) +
                             "x=" + std::string(kLargestLastingRecord, 'y');
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"not a record", [&] { std::ofstream(record) << "not a record\n"; }},
        {"pipe", [&] { ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0); }},
        {"link to a device", [&] { fs::create_symlink("/dev/zero", record); }},
        {"larger than any record", [&] { std::ofstream(record) << huge; }},
    };
    for (const auto &[name, make] : cases) {
        SCOPED_TRACE(name);
        fs::create_directories(fs::path(record).parent_path());
        make();
        EXPECT_FALSE(step(false).ok()) << "nothing can be put aside safely beside it";
        const Result<> restored = step(true);
        EXPECT_FALSE(restored.ok());
        EXPECT_NE(restored.reason().find("« " + record + " »"), std::string::npos)
            << restored.reason();
        EXPECT_FALSE(fs::exists(fs::symlink_status(record)));
    }
    EXPECT_FALSE(FileLastingStore(record).save({{"standin.wallpaper", huge}}).ok());
}

} // namespace
