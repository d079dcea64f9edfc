// The setter that keeps both lifetimes, over a stand-in desktop: no real
// desktop offers both kinds of memory on demand, so this one models them.
// The record and the autostart entry are the real files in a fresh folder,
// and every login starts from new objects, as a new process would.

#include "lasting/filestore.h"
#include "lasting/lastingsetter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include <sys/stat.h>

using namespace velumbra;
namespace fs = std::filesystem;

namespace {

// A desktop with one kind of memory: StoredOnly keeps every setting for good,
// SessionOnly forgets everything at logoff.
class StandInDesktop final : public WallpaperSetter
{
public:
    LifetimeSupport support = LifetimeSupport::StoredOnly;
    std::string stored; // what the desktop shows after the next login (StoredOnly)
    std::string shown;  // what it shows now
    bool saverStored = true;
    bool saverOn = true;
    bool refuseReading = false;
    int sets = 0;

    [[nodiscard]] std::string name() const override { return "standin"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path, WallpaperLifetime) override
    {
        if (!fs::is_regular_file(path))
            return Failure{"missing " + path};
        ++sets;
        shown = path;
        if (support == LifetimeSupport::StoredOnly)
            stored = path;
        return Result<>::success();
    }
    [[nodiscard]] Result<> disableScreenSaver() override
    {
        saverOn = false;
        if (support == LifetimeSupport::StoredOnly)
            saverStored = false;
        return Result<>::success();
    }
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting) const override { return support; }
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override
    {
        if (refuseReading)
            return Failure{"unreadable"};
        return what == LastingSetting::Wallpaper ? stored : std::string(saverStored ? "on" : "off");
    }
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override
    {
        if (what == LastingSetting::Wallpaper)
            stored = shown = state;
        else
            saverStored = saverOn = state == "on";
        return Result<>::success();
    }
    void logoff()
    {
        if (support == LifetimeSupport::StoredOnly) {
            shown = stored;
            saverOn = saverStored;
        } else {
            shown.clear();
            saverOn = true;
        }
    }
};

enum class Act { Temporary, ForGood, Saver, SessionEnd, LogoffLogin, Delete, UserSets };
struct Step
{
    Act act;
    char picture = 0; // 'A'...'D'
};

struct Scenario
{
    const char *name;
    LifetimeSupport support;
    std::vector<Step> steps;
    char shownAtEnd; // 0: nothing shown
    bool owedAtEnd;  // record file and autostart entry exist
    bool saverOnAtEnd = true;
};

void PrintTo(const Scenario &s, std::ostream *os)
{
    *os << s.name;
}

// Every scenario starts with A as the lasting wallpaper: stored by the
// desktop, or set for good through the setter where the desktop forgets.
const Scenario kScenarios[] = {
    {"stored: temporary then login brings A back",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::LogoffLogin}},
     'A',
     false},
    {"stored: for good stays",
     LifetimeSupport::StoredOnly,
     {{Act::ForGood, 'B'}, {Act::LogoffLogin}},
     'B',
     false},
    {"stored: rotation through three, then login",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::Temporary, 'C'}, {Act::Temporary, 'D'}, {Act::LogoffLogin}},
     'A',
     false},
    {"stored: for good after a temporary one wins",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::ForGood, 'C'}, {Act::LogoffLogin}},
     'C',
     false},
    {"stored: owed while the temporary one shows",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}},
     'B',
     true},
    {"stored: end of session puts A back before logoff",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::Temporary, 'C'}, {Act::SessionEnd}},
     'A',
     false},
    {"stored: second session's temporary change records A again",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::LogoffLogin}, {Act::Temporary, 'C'}, {Act::LogoffLogin}},
     'A',
     false},
    {"stored: lasting picture deleted meanwhile, its setting still comes back",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::Delete, 'A'}, {Act::LogoffLogin}},
     'A',
     false},
    {"stored: screen saver comes back on",
     LifetimeSupport::StoredOnly,
     {{Act::Saver}, {Act::LogoffLogin}},
     'A',
     false,
     true},
    {"stored: screen saver stays off until logoff",
     LifetimeSupport::StoredOnly,
     {{Act::Saver}, {Act::Saver}},
     'A',
     true,
     false},
    {"stored: the user's own later choice stays",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::Temporary, 'C'}, {Act::UserSets, 'D'}, {Act::LogoffLogin}},
     'D',
     false},
    {"stored: the user's own later choice stays at the end of the session",
     LifetimeSupport::StoredOnly,
     {{Act::Temporary, 'B'}, {Act::UserSets, 'D'}, {Act::SessionEnd}},
     'D',
     false},
    {"session: temporary then login brings A back",
     LifetimeSupport::SessionOnly,
     {{Act::Temporary, 'B'}, {Act::LogoffLogin}},
     'A',
     true},
    {"session: for good stays",
     LifetimeSupport::SessionOnly,
     {{Act::ForGood, 'B'}, {Act::LogoffLogin}},
     'B',
     true},
    {"session: rotation through three, then login",
     LifetimeSupport::SessionOnly,
     {{Act::Temporary, 'B'}, {Act::Temporary, 'C'}, {Act::Temporary, 'D'}, {Act::LogoffLogin}},
     'A',
     true},
    {"session: end of session leaves the session's picture",
     LifetimeSupport::SessionOnly,
     {{Act::Temporary, 'B'}, {Act::SessionEnd}},
     'B',
     true},
    {"session: lasting picture deleted, nothing shown and nothing owed",
     LifetimeSupport::SessionOnly,
     {{Act::Temporary, 'B'}, {Act::Delete, 'A'}, {Act::LogoffLogin}},
     0,
     false},
    {"native: nothing recorded",
     LifetimeSupport::Native,
     {{Act::Temporary, 'B'}, {Act::Saver}},
     'B',
     false,
     false},
};

class Lasting : public testing::TestWithParam<Scenario>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char p : {'A', 'B', 'C', 'D'})
            std::ofstream(picture(p)) << "picture";
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
        Process(const Lasting &t, WallpaperSetter &desktop)
            : store(t.m_recordFile), autostart(t.m_autostartFile, "/usr/bin/velumbra-restore"),
              setter(desktop, store, autostart)
        {
        }
    };

    [[nodiscard]] bool owed() const
    {
        const bool record = fs::exists(m_recordFile);
        EXPECT_EQ(record, fs::exists(m_autostartFile)) << "autostart entry and record disagree";
        return record;
    }

    QTemporaryDir m_dir;
    std::string m_recordFile;
    std::string m_autostartFile;
};

TEST_P(Lasting, KeepsTheLifetimeItPromised)
{
    const Scenario &s = GetParam();
    StandInDesktop desktop;
    desktop.support = s.support;
    if (s.support == LifetimeSupport::StoredOnly) {
        desktop.stored = desktop.shown = picture('A');
    } else {
        Process first(*this, desktop);
        ASSERT_TRUE(first.setter.setWallpaper(picture('A'), WallpaperLifetime::ForGood).ok());
    }
    auto process = std::make_unique<Process>(*this, desktop);
    for (const Step &step : s.steps) {
        switch (step.act) {
        case Act::Temporary:
        case Act::ForGood: {
            const auto r = process->setter.setWallpaper(
                picture(step.picture), step.act == Act::ForGood ? WallpaperLifetime::ForGood
                                                                : WallpaperLifetime::UntilLogoff);
            ASSERT_TRUE(r.ok()) << r.reason();
            EXPECT_EQ(desktop.shown, picture(step.picture));
            break;
        }
        case Act::Saver:
            ASSERT_TRUE(process->setter.disableScreenSaver().ok());
            break;
        case Act::SessionEnd:
            ASSERT_TRUE(process->setter.restoreAtSessionEnd().ok());
            break;
        case Act::Delete:
            fs::remove(picture(step.picture));
            break;
        case Act::UserSets:
            // In the desktop's own settings, behind Velumbra's back.
            desktop.stored = desktop.shown = picture(step.picture);
            break;
        case Act::LogoffLogin: {
            desktop.logoff();
            process = std::make_unique<Process>(*this, desktop);
            const auto r = process->setter.restoreAtLogin();
            // Only a picture that is gone for good may be reported.
            if (!r.ok()) {
                EXPECT_NE(r.reason().find("n'existe plus"), std::string::npos) << r.reason();
            }
            break;
        }
        }
    }
    EXPECT_EQ(desktop.shown, s.shownAtEnd ? picture(s.shownAtEnd) : std::string());
    EXPECT_EQ(owed(), s.owedAtEnd);
    EXPECT_EQ(desktop.saverOn, s.saverOnAtEnd);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Lasting, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario> &param) {
                             std::string name;
                             for (const char c : std::string(param.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

class LastingFailures : public Lasting
{
};

// An entry left by another installation (built by hand, then the package)
// would run a restore step that may be gone: it is brought up to date while
// something is owed, and removed once nothing is.
TEST_F(LastingFailures, AnEntryOfAnotherInstallationIsRewrittenOrRemoved)
{
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');
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
        Process p(*this, desktop);
        ASSERT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    }
    EXPECT_EQ(entry(), *autostartEntryText("/usr/bin/velumbra-restore"));
    const auto login = [&] {
        desktop.logoff();
        Process p(*this, desktop);
        return p.setter.restoreAtLogin().ok();
    };
    ASSERT_TRUE(login());
    oldEntry(); // now with nothing owed
    ASSERT_TRUE(login());
    EXPECT_FALSE(fs::exists(m_autostartFile));
}

TEST_F(LastingFailures, NothingChangesWhatCannotBePutBackLater)
{
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');

    // The desktop's value cannot be read.
    desktop.refuseReading = true;
    {
        Process p(*this, desktop);
        const auto r = p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.reason().find("reste inchangé"), std::string::npos) << r.reason();
    }
    desktop.refuseReading = false;
    EXPECT_EQ(desktop.shown, picture('A'));

    // The record cannot be written: its folder is a file.
    fs::create_directories(fs::path(m_recordFile).parent_path().parent_path());
    std::ofstream(fs::path(m_recordFile).parent_path()) << "in the way";
    {
        Process p(*this, desktop);
        EXPECT_FALSE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
        EXPECT_FALSE(p.setter.disableScreenSaver().ok());
    }
    EXPECT_EQ(desktop.shown, picture('A'));
    EXPECT_TRUE(desktop.saverOn);
    EXPECT_FALSE(fs::exists(m_autostartFile));
    EXPECT_EQ(desktop.sets, 0);
}

TEST_F(LastingFailures, ARefusedPictureLeavesNothingOwed)
{
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');
    Process p(*this, desktop);
    EXPECT_FALSE(p.setter.setWallpaper(picture('Z'), WallpaperLifetime::UntilLogoff).ok());
    EXPECT_FALSE(owed());
    // After a first temporary change, a refused one keeps the debt.
    ASSERT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    EXPECT_FALSE(p.setter.setWallpaper(picture('Z'), WallpaperLifetime::UntilLogoff).ok());
    EXPECT_TRUE(owed());
}

TEST_F(LastingFailures, RecordsTheLastingValueOnlyAtTheFirstChangeOfASession)
{
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');
    Process p(*this, desktop);
    for (const char c : {'B', 'C', 'D'}) {
        ASSERT_TRUE(p.setter.setWallpaper(picture(c), WallpaperLifetime::UntilLogoff).ok());
        EXPECT_EQ(p.store.load()->at(p.setter.entryName(LastingSetting::Wallpaper)), picture('A'))
            << c;
    }
}

TEST_F(LastingFailures, OtherDesktopsEntriesWaitForTheirLogin)
{
    fs::create_directories(fs::path(m_recordFile).parent_path());
    std::ofstream(m_recordFile) << formatLastingRecord({{"otherdesk.wallpaper", "X"}});
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');
    {
        Process p(*this, desktop);
        ASSERT_TRUE(p.setter.setWallpaper(picture('B'), WallpaperLifetime::UntilLogoff).ok());
    }
    desktop.logoff();
    Process p(*this, desktop);
    EXPECT_TRUE(p.setter.restoreAtLogin().ok());
    EXPECT_EQ(desktop.shown, picture('A'));
    EXPECT_EQ(*p.store.load(), (LastingRecord{{"otherdesk.wallpaper", "X"}}));
    EXPECT_TRUE(fs::exists(m_autostartFile));
}

TEST_F(LastingFailures, AnUnreadableRecordIsDroppedAtLogin)
{
    fs::create_directories(fs::path(m_recordFile).parent_path());
    std::ofstream(m_recordFile) << "not a record\n";
    StandInDesktop desktop;
    desktop.stored = desktop.shown = picture('A');
    Process p(*this, desktop);
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
    StandInDesktop desktop;
    for (const auto &[name, make] : cases) {
        fs::remove_all(record.parent_path());
        fs::create_directories(record.parent_path());
        make();
        Process p(*this, desktop);
        const Result<> restored = p.setter.restoreAtLogin();
        EXPECT_FALSE(restored.ok()) << name;
        EXPECT_NE(restored.reason().find("« " + m_recordFile + " »"), std::string::npos)
            << name << ": " << restored.reason();
        EXPECT_FALSE(p.store.save({{"standin.wallpaper", huge}}).ok()) << name;
    }
}

} // namespace
