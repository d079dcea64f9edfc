// Until logoff and for good on the GNOME family, against GIO's real keyfile
// backend and Debian's real schemas: the program's setter runs in one
// process, velumbra-restore in the next, as at a login; every value is read
// back by gsettings.

#include "tests/lasting/lastingsupport.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("gsettings")};
}

namespace {

const char *const kBackground = "org.gnome.desktop.background";
const char *const kSaver = "org.gnome.desktop.screensaver";

class GnomeLasting : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char *name : {"A", "B", "C", "D"})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), kPictureA, {16, 16}));
        m_env = {QStringLiteral("GSETTINGS_BACKEND=keyfile"),
                 QStringLiteral("HOME=") + m_dir.filePath(QStringLiteral("home")),
                 QStringLiteral("XDG_CONFIG_HOME=") + m_dir.filePath(QStringLiteral("config")),
                 QStringLiteral("XDG_STATE_HOME=") + m_dir.filePath(QStringLiteral("state")),
                 QStringLiteral("XDG_CURRENT_DESKTOP=GNOME"),
                 QStringLiteral("-DISPLAY"),
                 QStringLiteral("-WAYLAND_DISPLAY"),
                 QStringLiteral("-SWAYSOCK")};
        // The lasting wallpaper A, as the user chose it in the desktop's settings.
        set(kBackground, "picture-uri", quoted(uri("A")));
        set(kBackground, "picture-uri-dark", quoted(uri("A")));
    }

    [[nodiscard]] QString picture(const char *name) const
    {
        return m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(" l'été.jpg"));
    }
    [[nodiscard]] QString uri(const char *name) const
    {
        return QString::fromUtf8(QUrl::fromLocalFile(picture(name)).toEncoded());
    }
    [[nodiscard]] static QString quoted(const QString &s)
    {
        QString escaped = s;
        escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        return u'\'' + escaped + u'\'';
    }

    [[nodiscard]] QString get(const char *schema, const char *key) const
    {
        return unquoted(outputOf(
            QStringLiteral("gsettings"),
            {QStringLiteral("get"), QString::fromLatin1(schema), QString::fromLatin1(key)}, m_env));
    }

    // A string as gsettings prints it, in either quote, back to its text;
    // other values as printed.
    [[nodiscard]] static QString unquoted(const QString &printed)
    {
        if (printed.size() < 2 || (printed.front() != u'\'' && printed.front() != u'"'))
            return printed;
        QString text;
        for (qsizetype i = 1; i + 1 < printed.size(); ++i) {
            if (printed[i] == u'\\')
                ++i;
            text += printed[i];
        }
        return text;
    }

    void set(const char *schema, const char *key, const QString &value) const
    {
        const auto r = runProgram(
            QStringLiteral("gsettings"),
            {QStringLiteral("set"), QString::fromLatin1(schema), QString::fromLatin1(key), value},
            m_env);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }

    [[nodiscard]] RunResult lasting(const QStringList &args) const
    {
        return runLasting(args, m_env);
    }
    [[nodiscard]] RunResult restore() const { return runRestore(m_env); }
    [[nodiscard]] bool owed() const
    {
        return lastingtest::owed(m_dir.filePath(QStringLiteral("state")),
                                 m_dir.filePath(QStringLiteral("config")));
    }

    QTemporaryDir m_dir;
    QStringList m_env;
};

struct Case
{
    const char *name;
    const char *options;              // picture-options before anything
    std::vector<QStringList> changes; // lasting_cli arguments, picture names in place
    const char *deleted;              // a picture removed before the login, or null
    const char *shownAfterLogin;
    const char *optionsAfterLogin;
};

const Case kCases[] = {
    {"temporary", "'zoom'", {{"set", "B"}}, nullptr, "A", "'zoom'"},
    {"for good", "'zoom'", {{"set", "B", "for-good"}}, nullptr, "B", "'zoom'"},
    {"rotation through three",
     "'centered'",
     {{"set", "B"}, {"set", "C"}, {"set", "D"}},
     nullptr,
     "A",
     "'centered'"},
    {"temporary, then for good",
     "'zoom'",
     {{"set", "B"}, {"set", "C", "for-good"}},
     nullptr,
     "C",
     "'zoom'"},
    // Showing B needed a style that shows a picture; A's own comes back.
    {"style that hid the picture", "'none'", {{"set", "B"}}, nullptr, "A", "'none'"},
    {"lasting picture deleted meanwhile", "'zoom'", {{"set", "B"}}, "A", "A", "'zoom'"},
    {"temporary picture deleted meanwhile", "'zoom'", {{"set", "B"}}, "B", "A", "'zoom'"},
};

TEST_F(GnomeLasting, LoginBringsBackWhatLastsAndForgetsTheDebt)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        set(kBackground, "picture-uri", quoted(uri("A")));
        set(kBackground, "picture-uri-dark", quoted(uri("A")));
        set(kBackground, "picture-options", QString::fromLatin1(c.options));
        for (const char *name : {"A", "B", "C", "D"})
            ASSERT_TRUE(QFile::exists(picture(name)) ||
                        writeQuadrantPicture(picture(name), kPictureA, {16, 16}));
        for (QStringList args : c.changes) {
            args[1] = picture(qPrintable(args[1]));
            const auto r = lasting(args);
            ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            EXPECT_EQ(get(kBackground, "picture-uri"),
                      QString::fromUtf8(QUrl::fromLocalFile(args[1]).toEncoded()));
        }
        const bool temporaryLast = c.changes.back().size() == 2;
        EXPECT_EQ(owed(), temporaryLast);
        if (c.deleted) {
            ASSERT_TRUE(QFile::remove(picture(c.deleted)));
        }

        const auto r = restore();
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_EQ(get(kBackground, "picture-uri"), uri(c.shownAfterLogin));
        EXPECT_EQ(get(kBackground, "picture-uri-dark"), uri(c.shownAfterLogin));
        EXPECT_EQ(get(kBackground, "picture-options"),
                  unquoted(QString::fromLatin1(c.optionsAfterLogin)));
        EXPECT_FALSE(owed());
    }
}

TEST_F(GnomeLasting, TheUsersOwnLaterChoiceStays)
{
    ASSERT_EQ(lasting({QStringLiteral("set"), picture("B")}).exitCode, 0);
    ASSERT_EQ(lasting({QStringLiteral("set"), picture("C")}).exitCode, 0);
    // Chosen in GNOME's settings while the temporary picture shows.
    set(kBackground, "picture-uri", quoted(uri("D")));
    set(kBackground, "picture-uri-dark", quoted(uri("D")));
    const auto r = restore();
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_EQ(get(kBackground, "picture-uri"), uri("D"));
    EXPECT_FALSE(owed());
}

TEST_F(GnomeLasting, ScreenSaverStaysOffUntilLogoffOnly)
{
    set(kSaver, "idle-activation-enabled", QStringLiteral("true"));
    for (int i = 0; i < 2; ++i) {
        const auto r = lasting({QStringLiteral("screensaver")});
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_EQ(get(kSaver, "idle-activation-enabled"), QStringLiteral("false"));
    }
    EXPECT_TRUE(owed());
    ASSERT_EQ(restore().exitCode, 0);
    EXPECT_EQ(get(kSaver, "idle-activation-enabled"), QStringLiteral("true"));
    EXPECT_FALSE(owed());
}

TEST_F(GnomeLasting, EndOfSessionRestoresBeforeTheNextLogin)
{
    ASSERT_EQ(lasting({QStringLiteral("set"), picture("B")}).exitCode, 0);
    ASSERT_EQ(lasting({QStringLiteral("screensaver")}).exitCode, 0);
    const auto r = lasting({QStringLiteral("session-end")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_EQ(get(kBackground, "picture-uri"), uri("A"));
    EXPECT_EQ(get(kSaver, "idle-activation-enabled"), QStringLiteral("true"));
    EXPECT_FALSE(owed());
    // The login after it finds nothing to do.
    EXPECT_EQ(restore().exitCode, 0);
    EXPECT_EQ(get(kBackground, "picture-uri"), uri("A"));
}

TEST_F(GnomeLasting, RestoreWithNothingOwedChangesNothing)
{
    ASSERT_EQ(lasting({QStringLiteral("set"), picture("B"), QStringLiteral("for-good")}).exitCode,
              0);
    EXPECT_FALSE(owed());
    EXPECT_EQ(restore().exitCode, 0);
    EXPECT_EQ(get(kBackground, "picture-uri"), uri("B"));
    EXPECT_EQ(runProgram(restorePath(), {QStringLiteral("--now")}, m_env).exitCode, 2);
}

} // namespace
