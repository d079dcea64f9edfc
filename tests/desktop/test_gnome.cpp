// SPDX-License-Identifier: GPL-3.0-or-later
// The GNOME family: the real gnome-shell on Xvfb, in the dark style, with
// dconf on a private bus that activates it, as a GNOME session starts it;
// then Cinnamon's and MATE's keys, and what only GSettings has, against
// GIO's real keyfile backend and Debian's real schemas, every value read
// back by gsettings in another process.

#include "tests/desktop/session.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

const QString kBackground = u"org.gnome.desktop.background"_s;

// GIO's keyfile backend has no screen: what is stored is what is checked.
class Keyfile final : public Desktop
{
public:
    Keyfile(const char *desktop, const char *schema, const char *key)
        : m_desktop(QString::fromLatin1(desktop)), m_schema(QString::fromLatin1(schema)),
          m_key(QString::fromLatin1(key))
    {
    }
    void login(const QString &root, bool) override
    {
        env = userEnvironment(root) +
              QStringList{u"GSETTINGS_BACKEND=keyfile"_s, u"XDG_CURRENT_DESKTOP="_s + m_desktop};
    }
    void logoff() override {}
    [[nodiscard]] bool shows(const Quadrants &) const override { return true; }
    [[nodiscard]] QString stored() const override
    {
        const QString value = gsettingsGet(env, m_schema, m_key);
        return value.startsWith(u"file:"_s) ? QUrl(value).toLocalFile() : value;
    }
    [[nodiscard]] QString get(const QString &schema, const char *key) const
    {
        return gsettingsGet(env, schema, QString::fromLatin1(key));
    }
    void set(const QString &schema, const char *key, const QString &value) const
    {
        ASSERT_EQ(run(u"gsettings"_s, {u"set"_s, schema, QString::fromLatin1(key), value}).exitCode,
                  0);
    }

private:
    QString m_desktop, m_schema, m_key;
};

TEST(GSettings, CinnamonAndMateKeepTheContract)
{
    for (const auto &[desktop, schema, key] :
         {std::tuple{"X-Cinnamon", "org.cinnamon.desktop.background", "picture-uri"},
          {"MATE", "org.mate.background", "picture-filename"}}) {
        SCOPED_TRACE(desktop);
        QTemporaryDir root;
        Keyfile keyfile(desktop, schema, key);
        runContract(keyfile, root.path());
    }
}

// A style of "none" hides any picture: it is replaced while Velumbra's picture
// shows, and comes back with the user's own picture at the next login, unless
// the user has chosen another picture since, which stays as it is shown.
TEST(GSettings, StyleScreenSaverAndTheUsersLaterChoiceComeBackRight)
{
    QTemporaryDir root;
    Keyfile gnome("GNOME", "org.gnome.desktop.background", "picture-uri");
    gnome.login(root.path(), true);
    const QString saver = u"org.gnome.desktop.screensaver"_s;
    QString uri[3];
    for (int i = 0; i < 3; ++i) {
        const QString file = root.filePath(u"%1 été.jpg"_s.arg(i));
        ASSERT_TRUE(writeQuadrants(file, kPictureA, {16, 16}));
        uri[i] = QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
    }
    const auto velumbra = [&](const QStringList &args) {
        const RunResult r = gnome.run(cliPath(), args);
        EXPECT_EQ(r.exitCode, 0) << r.stdErr;
    };
    const auto restore = [&] { EXPECT_EQ(gnome.run(restorePath()).exitCode, 0); };
    const auto quoted = [](const QString &s) { return u'\'' + s + u'\''; };
    for (const bool userChoosesLater : {false, true}) {
        SCOPED_TRACE(userChoosesLater ? "the user's later choice" : "the style");
        gnome.set(kBackground, "picture-uri", quoted(uri[0]));
        gnome.set(kBackground, "picture-options", u"'none'"_s);
        gnome.set(saver, "idle-activation-enabled", u"true"_s);
        velumbra({u"set"_s, QUrl(uri[1]).toLocalFile()});
        velumbra({u"screensaver"_s});
        EXPECT_EQ(gnome.get(kBackground, "picture-options"), u"stretched"_s);
        EXPECT_EQ(gnome.get(saver, "idle-activation-enabled"), u"false"_s);
        if (userChoosesLater)
            gnome.set(kBackground, "picture-uri", quoted(uri[2]));
        restore();
        EXPECT_EQ(gnome.get(kBackground, "picture-uri"), uri[userChoosesLater ? 2 : 0]);
        EXPECT_EQ(gnome.get(kBackground, "picture-options"),
                  userChoosesLater ? u"stretched"_s : u"none"_s);
        EXPECT_EQ(gnome.get(saver, "idle-activation-enabled"), u"true"_s);
        EXPECT_FALSE(owed(root.path()));
    }
}

// Without the schema GIO would abort the program in g_settings_new(), and in
// g_settings_set() without the key: GNOME before 42 had no picture-uri-dark,
// and Debian no longer ships such a schema, so it is compiled here.
TEST(GSettings, MissingSchemasOrKeysAreNoCrash)
{
    QTemporaryDir root;
    const QString picture = root.filePath(u"a.jpg"_s);
    ASSERT_TRUE(writeQuadrants(picture, kPictureA, {16, 16}));
    const QStringList nothing{u"XDG_DATA_DIRS="_s + root.filePath(u"no"_s),
                              u"-GSETTINGS_SCHEMA_DIR"_s};
    for (const char *desktop : {"GNOME", "X-Cinnamon", "MATE"}) {
        Keyfile keyfile(desktop, "", "");
        keyfile.login(root.path(), true);
        keyfile.env << nothing;
        for (const auto &[command, reason] :
             {std::pair{"set", "n'est pas installé"},
              {"screensaver", "l'économiseur d'écran reste actif"}}) {
            const RunResult r =
                keyfile.run(cliPath(), {QString::fromLatin1(command), picture, u"for-good"_s});
            EXPECT_EQ(r.exitCode, 1) << desktop << " crashed or succeeded: " << r.stdErr;
            EXPECT_TRUE(r.stdErr.contains(QString::fromUtf8(reason))) << r.stdErr;
        }
    }

    const QString schemas = root.filePath(u"schemas"_s);
    ASSERT_TRUE(QDir().mkpath(schemas));
    ASSERT_TRUE(writeFile(schemas + u"/org.gnome.desktop.background.gschema.xml"_s,
                          R"(<schemalist>
  <schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">
    <key name="picture-uri" type="s"><default>''</default></key>
  </schema>
</schemalist>
)"));
    ASSERT_EQ(runProgram(u"glib-compile-schemas"_s, {schemas}).exitCode, 0);
    Keyfile old("GNOME", "org.gnome.desktop.background", "picture-uri");
    old.login(root.path(), true);
    old.env << nothing.value(0) << u"GSETTINGS_SCHEMA_DIR="_s + schemas;
    EXPECT_EQ(old.run(cliPath(), {u"set"_s, picture, u"for-good"_s}).exitCode, 0);
    EXPECT_EQ(old.stored(), picture);
}

} // namespace
