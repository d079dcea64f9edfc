// The GNOME family's backend against GIO's real keyfile backend and Debian's
// real schemas; every value is read back by another process (gsettings).

#include "support.h"

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

    RunResult cli(const QStringList &args) const { return runCli(args, m_env); }

    // The value as another process reads it, decoded from GVariant text.
    std::string get(const char *schema, const char *key) const
    {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString &kv : m_env) {
            if (kv.startsWith(u'-'))
                e.remove(kv.mid(1));
            else
                e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
        }
        p.setProcessEnvironment(e);
        p.start(QStringLiteral("gsettings"),
                {QStringLiteral("get"), QString::fromLatin1(schema), QString::fromLatin1(key)});
        p.waitForFinished();
        const QByteArray text = p.readAllStandardOutput().trimmed();
        GVariant *v = g_variant_parse(nullptr, text.constData(), nullptr, nullptr, nullptr);
        if (!v)
            return "<unreadable: " + text.toStdString() + ">";
        std::string result = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                                 ? std::string(g_variant_get_string(v, nullptr))
                                 : std::string(text.constData());
        g_variant_unref(v);
        return result;
    }

    void set(const char *schema, const char *key, const char *value) const
    {
        const auto r = runProgram(QStringLiteral("gsettings"),
                                  {QStringLiteral("set"), QString::fromLatin1(schema),
                                   QString::fromLatin1(key), QString::fromLatin1(value)},
                                  m_env);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }

    std::string uri() const { return QUrl::fromLocalFile(m_picture).toEncoded().toStdString(); }

    QTemporaryDir m_dir;
    QString m_picture;
    QStringList m_env;
};

struct Flavour
{
    const char *backend;
    const char *schema;
    const char *key;
    bool plainPath;
    const char *darkKey; // written too, or null where the schema has none
};

const Flavour kFlavours[] = {
    {"gnome", "org.gnome.desktop.background", "picture-uri", false, "picture-uri-dark"},
    {"cinnamon", "org.cinnamon.desktop.background", "picture-uri", false, nullptr},
    {"mate", "org.mate.background", "picture-filename", true, nullptr},
};

TEST_F(GSettingsBackend, EachFlavourWritesItsKeysInItsOwnForm)
{
    for (const Flavour &f : kFlavours) {
        SCOPED_TRACE(f.backend);
        const auto r = cli({QStringLiteral("--backend"), QString::fromLatin1(f.backend),
                            QStringLiteral("set"), m_picture});
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        const std::string expected = f.plainPath ? m_picture.toStdString() : uri();
        EXPECT_EQ(get(f.schema, f.key), expected);
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
    struct Case
    {
        const char *before;
        const char *after;
    };
    const Case cases[] = {{"'none'", "stretched"}, {"'zoom'", "zoom"}, {"'centered'", "centered"}};
    for (const Case &c : cases) {
        set("org.gnome.desktop.background", "picture-options", c.before);
        ASSERT_EQ(cli({QStringLiteral("--backend"), QStringLiteral("gnome"), QStringLiteral("set"),
                       m_picture})
                      .exitCode,
                  0);
        EXPECT_EQ(get("org.gnome.desktop.background", "picture-options"), c.after) << c.before;
    }
}

TEST_F(GSettingsBackend, ScreenSaverOffWhereTheSchemaHasIt)
{
    for (const char *backend : {"gnome", "cinnamon"}) {
        const std::string schema = std::string(backend) == "gnome"
                                       ? "org.gnome.desktop.screensaver"
                                       : "org.cinnamon.desktop.screensaver";
        set(schema.c_str(), "idle-activation-enabled", "true");
        const auto r = cli({QStringLiteral("--backend"), QString::fromLatin1(backend),
                            QStringLiteral("screensaver")});
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
        const auto set = cli({QStringLiteral("--backend"), QString::fromLatin1(backend),
                              QStringLiteral("set"), m_picture});
        EXPECT_EQ(set.exitCode, 1)
            << backend << " crashed or succeeded: " << qPrintable(set.stdErr);
        EXPECT_TRUE(set.stdErr.contains(QStringLiteral("n'est pas installé")))
            << qPrintable(set.stdErr);
        // Without an X server either, nothing can keep the saver off.
        const auto saver = cli({QStringLiteral("--backend"), QString::fromLatin1(backend),
                                QStringLiteral("screensaver")});
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

    const auto r = cli(
        {QStringLiteral("--backend"), QStringLiteral("gnome"), QStringLiteral("set"), m_picture});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri"), uri());
}

TEST_F(GSettingsBackend, MissingFileLeavesTheSettingAlone)
{
    ASSERT_EQ(cli({QStringLiteral("--backend"), QStringLiteral("gnome"), QStringLiteral("set"),
                   m_picture})
                  .exitCode,
              0);
    const auto r = cli({QStringLiteral("--backend"), QStringLiteral("gnome"), QStringLiteral("set"),
                        m_dir.filePath(QStringLiteral("gone.jpg"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(QStringLiteral("n'existe pas"))) << qPrintable(r.stdErr);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri"), uri());
}

} // namespace
