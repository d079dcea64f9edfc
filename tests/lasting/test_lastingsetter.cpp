// SPDX-License-Identifier: GPL-3.0-or-later
// What the setter that keeps both lifetimes does when something fails. The
// lifetimes themselves are tested against each real desktop
// (tests/desktop); the failures here need a desktop that refuses on demand,
// which no real one does, so a stand-in keeps every setting for good, as
// GNOME does. The record and the autostart entry are the real files in a
// fresh folder, and every login starts from new objects, as a new process would.

#include "lasting/filestore.h"
#include "lasting/lastingsetter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include <sys/stat.h>

using namespace velumbra;
namespace fs = std::filesystem;

namespace {

class StandInDesktop final : public WallpaperSetter
{
public:
    std::string shown;
    bool saverOn = true;
    bool refuseReading = false;
    int sets = 0;

    [[nodiscard]] std::string name() const override { return "standin"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path, WallpaperLifetime) override
    {
        ++sets;
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
            return Failure{"unreadable"};
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

class LastingFailures : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_desktop.shown = picture('A');
        m_recordFile = m_dir.filePath(QStringLiteral("state/velumbra/lasting")).toStdString();
        m_autostartFile =
            m_dir.filePath(QStringLiteral("config/autostart/velumbra-restore.desktop"))
                .toStdString();
    }

    [[nodiscard]] std::string picture(char p) const
    {
        return m_dir.filePath(QString(QLatin1Char(p)) + QStringLiteral(".jpg")).toStdString();
    }

    // A fresh process's view: its own store, entry and setter.
    struct Process
    {
        FileLastingStore store;
        XdgAutostartEntry autostart;
        LastingWallpaperSetter setter;
        Process(const LastingFailures &t, WallpaperSetter &desktop)
            : store(t.m_recordFile), autostart(t.m_autostartFile, "/usr/bin/velumbra-restore"),
              setter(desktop, store, autostart)
        {
        }
    };

    QTemporaryDir m_dir;
    StandInDesktop m_desktop;
    std::string m_recordFile;
    std::string m_autostartFile;
};

// An entry left by another installation (built by hand, then the package)
// would run a restore step that may be gone: it is brought up to date while
// something is owed, and removed once nothing is.
TEST_F(LastingFailures, AnEntryOfAnotherInstallationIsRewrittenOrRemoved)
{
    const auto oldEntry = [this] {
        fs::create_directories(fs::path(m_autostartFile).parent_path());
        std::ofstream(m_autostartFile) << *autostartEntryText("/usr/local/bin/velumbra-restore");
    };
    const auto entry = [this] {
        std::ifstream in(m_autostartFile);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    oldEntry();
    {
        Process p(*this, m_desktop);
        ASSERT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    }
    EXPECT_EQ(entry(), *autostartEntryText("/usr/bin/velumbra-restore"));
    const auto login = [&] {
        Process p(*this, m_desktop);
        return p.setter.restoreAtLogin().ok();
    };
    ASSERT_TRUE(login());
    oldEntry(); // now with nothing owed
    ASSERT_TRUE(login());
    EXPECT_FALSE(fs::exists(m_autostartFile));
}

TEST_F(LastingFailures, NothingChangesWhatCannotBePutBackLater)
{

    // The desktop's value cannot be read.
    m_desktop.refuseReading = true;
    {
        Process p(*this, m_desktop);
        const auto r = p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.reason().find("reste inchangé"), std::string::npos) << r.reason();
    }
    m_desktop.refuseReading = false;
    EXPECT_EQ(m_desktop.shown, picture('A'));

    // The record cannot be written: its folder is a file.
    fs::create_directories(fs::path(m_recordFile).parent_path().parent_path());
    std::ofstream(fs::path(m_recordFile).parent_path()) << "in the way";
    {
        Process p(*this, m_desktop);
        EXPECT_FALSE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
        EXPECT_FALSE(p.setter.disableScreenSaver().ok());
    }
    EXPECT_EQ(m_desktop.shown, picture('A'));
    EXPECT_TRUE(m_desktop.saverOn);
    EXPECT_FALSE(fs::exists(m_autostartFile));
    EXPECT_EQ(m_desktop.sets, 0);
}

TEST_F(LastingFailures, OtherDesktopsEntriesWaitForTheirLogin)
{
    fs::create_directories(fs::path(m_recordFile).parent_path());
    std::ofstream(m_recordFile) << formatLastingRecord({{"otherdesk.wallpaper", "X"}});
    {
        Process p(*this, m_desktop);
        ASSERT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    }
    Process p(*this, m_desktop);
    EXPECT_TRUE(p.setter.restoreAtLogin().ok());
    EXPECT_EQ(m_desktop.shown, picture('A'));
    EXPECT_EQ(*p.store.load(), (LastingRecord{{"otherdesk.wallpaper", "X"}}));
    EXPECT_TRUE(fs::exists(m_autostartFile));
}

TEST_F(LastingFailures, AnUnreadableRecordIsDroppedAtLogin)
{
    fs::create_directories(fs::path(m_recordFile).parent_path());
    std::ofstream(m_recordFile) << "not a record\n";
    Process p(*this, m_desktop);
    // Until logoff, nothing can be put aside safely beside it.
    EXPECT_FALSE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    EXPECT_FALSE(p.setter.restoreAtLogin().ok());
    EXPECT_FALSE(fs::exists(m_recordFile));
    EXPECT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
}

// velumbra-restore once waited for ever on a pipe and read /dev/zero until
// it ran out of memory.
TEST_F(LastingFailures, ARecordThatIsNoPlainFileOrTooLargeIsRefusedAtOnce)
{
    const fs::path record(m_recordFile);
    const std::string huge = formatLastingRecord({{"standin.wallpaper", picture('A')}}) +
                             "x=" + std::string(kLargestLastingRecord, 'y');
    const std::vector<std::pair<const char *, std::function<void()>>> cases{
        {"pipe", [&] { ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0); }},
        {"link to a device", [&] { fs::create_symlink("/dev/zero", record); }},
        {"folder", [&] { fs::create_directory(record); }},
        {"larger than any record", [&] { std::ofstream(record) << huge; }},
    };
    for (const auto &[name, make] : cases) {
        fs::remove_all(record.parent_path());
        fs::create_directories(record.parent_path());
        make();
        Process p(*this, m_desktop);
        const Result<> restored = p.setter.restoreAtLogin();
        EXPECT_FALSE(restored.ok()) << name;
        EXPECT_NE(restored.reason().find("« " + m_recordFile + " »"), std::string::npos)
            << name << ": " << restored.reason();
        EXPECT_FALSE(p.store.save({{"standin.wallpaper", huge}}).ok()) << name;
    }
}

} // namespace
