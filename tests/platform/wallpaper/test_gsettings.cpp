// The GNOME family's backend against GIO's real keyfile backend and Debian's
// real schemas; every value is read back by another process (gsettings).

#include "tests/desktop/support.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <glib.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("gsettings"), QStringLiteral("glib-compile-schemas")};
}

namespace {

class GSettingsBackend : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_picture = m_dir.filePath(QStringLiteral("été 1 l'a \"b\".jpg"));
        ASSERT_TRUE(writeQuadrantPicture(m_picture, kPictureA, {64, 36}));
        m_env = {QStringLiteral("GSETTINGS_BACKEND=keyfile"),
                 QStringLiteral("XDG_CONFIG_HOME=") + m_dir.filePath(QStringLiteral("config")),
                 QStringLiteral("-DISPLAY")};
    }

    RunResult cli(const char *backend, const char *command, const QString &file = {}) const
    {
        return runCli(cliArgs(backend, command, file), m_env);
    }

    RunResult gsettings(const char *verb, const char *schema, const char *key,
                        const char *value = nullptr) const
    {
        QStringList args{QString::fromLatin1(verb), QString::fromLatin1(schema),
                         QString::fromLatin1(key)};
        if (value)
            args << QString::fromLatin1(value);
        return runProgram(QStringLiteral("gsettings"), args, m_env);
    }

    // The value as another process reads it, decoded from GVariant text.
    std::string get(const char *schema, const char *key) const
    {
        const QByteArray text = gsettings("get", schema, key).stdOut.trimmed();
        GVariant *v = g_variant_parse(nullptr, text.constData(), nullptr, nullptr, nullptr);
        if (!v)
            return "<unreadable: " + text.toStdString() + ">";
        std::string result = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                                 ? std::string(g_variant_get_string(v, nullptr))
                                 : text.toStdString();
        g_variant_unref(v);
        return result;
    }

    std::string uri() const { return QUrl::fromLocalFile(m_picture).toEncoded().toStdString(); }

    QTemporaryDir m_dir;
    QString m_picture;
    QStringList m_env;
};

TEST_F(GSettingsBackend, EachFlavourWritesItsKeysInItsOwnForm)
{
    struct Flavour
    {
        const char *backend, *schema, *key;
        bool plainPath;
        const char *darkKey; // written too, or null where the schema has none
    };
    const Flavour flavours[] = {
        {"gnome", "org.gnome.desktop.background", "picture-uri", false, "picture-uri-dark"},
        {"cinnamon", "org.cinnamon.desktop.background", "picture-uri", false, nullptr},
        {"mate", "org.mate.background", "picture-filename", true, nullptr},
    };
    for (const Flavour &f : flavours) {
        const auto r = cli(f.backend, "set", m_picture);
        ASSERT_EQ(r.exitCode, 0) << f.backend << ": " << qPrintable(r.stdErr);
        const std::string expected = f.plainPath ? m_picture.toStdString() : uri();
        EXPECT_EQ(get(f.schema, f.key), expected) << f.backend;
        if (f.darkKey) {
            EXPECT_EQ(get(f.schema, f.darkKey), expected);
        }
    }
}

TEST_F(GSettingsBackend, RelativeNameIsStoredAsAnAbsoluteOne)
{
    const auto r = runProgram(QStringLiteral("/bin/sh"),
                              {QStringLiteral("-c"),
                               QStringLiteral("cd \"$1\" && exec \"$2\" --backend mate set \"$3\""),
                               QStringLiteral("sh"), m_dir.path(),
                               QStringLiteral(WALLPAPER_CLI_PATH), QFileInfo(m_picture).fileName()},
                              m_env);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_EQ(get("org.mate.background", "picture-filename"), m_picture.toStdString());
}

TEST_F(GSettingsBackend, PictureHiddenByStyleNoneIsMadeVisible)
{
    const char *const cases[][2] = {{"'none'", "stretched"}, {"'zoom'", "zoom"}};
    for (const auto &[before, after] : cases) {
        ASSERT_EQ(
            gsettings("set", "org.gnome.desktop.background", "picture-options", before).exitCode,
            0);
        ASSERT_EQ(cli("gnome", "set", m_picture).exitCode, 0);
        EXPECT_EQ(get("org.gnome.desktop.background", "picture-options"), after) << before;
    }
}

TEST_F(GSettingsBackend, ScreenSaverOffWhereTheSchemaHasIt)
{
    for (const char *backend : {"gnome", "cinnamon"}) {
        const std::string schema = "org." + std::string(backend) + ".desktop.screensaver";
        gsettings("set", schema.c_str(), "idle-activation-enabled", "true");
        const auto r = cli(backend, "screensaver");
        ASSERT_EQ(r.exitCode, 0) << backend << ": " << qPrintable(r.stdErr);
        EXPECT_EQ(get(schema.c_str(), "idle-activation-enabled"), "false") << backend;
    }
}

TEST_F(GSettingsBackend, MissingSchemasFailWithAReasonInsteadOfAborting)
{
    // No schema at all: GIO would abort the program in g_settings_new().
    m_env << QStringLiteral("XDG_DATA_DIRS=") + m_dir.filePath(QStringLiteral("nothing"))
          << QStringLiteral("-GSETTINGS_SCHEMA_DIR");
    for (const char *backend : {"gnome", "cinnamon", "mate"}) {
        const auto set = cli(backend, "set", m_picture);
        EXPECT_EQ(set.exitCode, 1)
            << backend << " crashed or succeeded: " << qPrintable(set.stdErr);
        EXPECT_TRUE(set.stdErr.contains(QStringLiteral("n'est pas installé")))
            << qPrintable(set.stdErr);
        // Without an X server either, nothing can keep the saver off.
        const auto saver = cli(backend, "screensaver");
        EXPECT_EQ(saver.exitCode, 1) << backend;
        EXPECT_TRUE(saver.stdErr.contains(QStringLiteral("l'économiseur d'écran reste actif")))
            << qPrintable(saver.stdErr);
    }
}

TEST_F(GSettingsBackend, SchemaWithoutTheDarkKeyGetsTheLightOneOnly)
{
    // GNOME before 42 had no picture-uri-dark; Debian ships no such schema any
    // more, so this one is compiled here.
    const QString schemas = m_dir.filePath(QStringLiteral("schemas"));
    ASSERT_TRUE(QDir().mkpath(schemas));
    QFile xml(schemas + QStringLiteral("/org.gnome.desktop.background.gschema.xml"));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(R"(<schemalist>
  <schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">
    <key name="picture-uri" type="s"><default>''</default></key>
    <key name="picture-options" type="s"><default>'zoom'</default></key>
  </schema>
</schemalist>
)");
    xml.close();
    ASSERT_EQ(runProgram(QStringLiteral("glib-compile-schemas"), {schemas}).exitCode, 0);
    m_env << QStringLiteral("XDG_DATA_DIRS=") + m_dir.filePath(QStringLiteral("nothing"))
          << QStringLiteral("GSETTINGS_SCHEMA_DIR=") + schemas;

    const auto r = cli("gnome", "set", m_picture);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri"), uri());
}

TEST_F(GSettingsBackend, MissingFileLeavesTheSettingAlone)
{
    ASSERT_EQ(cli("gnome", "set", m_picture).exitCode, 0);
    const auto r = cli("gnome", "set", m_dir.filePath(QStringLiteral("gone.jpg")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(QStringLiteral("n'existe pas"))) << qPrintable(r.stdErr);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri"), uri());
}

} // namespace
