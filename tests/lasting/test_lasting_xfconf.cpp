// Until logoff and for good on XFCE, against a real xfconfd on a private
// session bus. Logoff stops xfconfd the way a session's end does (SIGTERM,
// so it writes its files) and ends the bus; login starts both anew from the
// same folders and runs velumbra-restore.

#include "tests/lasting/lastingsupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("xfconf-query"),
            QStringLiteral(XFCONFD)};
}

namespace {

const QString kImage = QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/last-image");
const QString kStyle = QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/image-style");

class XfceLasting : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_xvfb.running());
        ASSERT_TRUE(m_dir.isValid());
        for (const char *name : {"A", "B", "C", "D"})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), kPictureA, {16, 16}));
        const QString home = m_dir.filePath(QStringLiteral("home"));
        m_env = {QStringLiteral("HOME=") + home,
                 QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
                 QStringLiteral("XDG_STATE_HOME=") + home + QStringLiteral("/.local/state"),
                 QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
                 QStringLiteral("XDG_CURRENT_DESKTOP=XFCE"),
                 QStringLiteral("DISPLAY=") + m_xvfb.display(), QStringLiteral("-WAYLAND_DISPLAY"),
                 QStringLiteral("-SWAYSOCK"),
                 // xfconfd is started by the session, not by the bus, so
                 // that the session can stop it as a logoff does.
                 QStringLiteral("SESSION_NO_ACTIVATION=1")};
    }

    [[nodiscard]] QString picture(const char *name) const
    {
        return m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(" l'été.jpg"));
    }

    void login()
    {
        const QString stop = m_dir.filePath(QStringLiteral("stop"));
        const QString stopped = m_dir.filePath(QStringLiteral("stopped"));
        QFile::remove(stop);
        QFile::remove(stopped);
        m_session = std::make_unique<PrivateSession>(
            m_env,
            QStringList{QStringLiteral(XFCONFD " & p=$!; while [ ! -e '%1' ]; do sleep 0.05; done; "
                                               "kill -TERM $p; wait $p; touch '%2'")
                            .arg(stop, stopped)});
        ASSERT_TRUE(m_session->running());
        m_sessionEnv = m_env;
        m_sessionEnv << m_session->busEnv();
        ASSERT_TRUE(eventually([&] {
            return runProgram(QStringLiteral("xfconf-query"), {QStringLiteral("-l")}, m_sessionEnv)
                       .exitCode == 0;
        })) << "xfconfd did not start";
    }

    void logoff()
    {
        QFile(m_dir.filePath(QStringLiteral("stop"))).open(QIODevice::WriteOnly);
        ASSERT_TRUE(eventually([&] {
            return QFile::exists(m_dir.filePath(QStringLiteral("stopped")));
        })) << "xfconfd did not stop";
        m_session.reset();
    }

    [[nodiscard]] QString query(const QString &key) const
    {
        return outputOf(
            QStringLiteral("xfconf-query"),
            {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), key},
            m_sessionEnv);
    }

    void create(const QString &key, const QString &type, const QString &value) const
    {
        const auto r = runProgram(QStringLiteral("xfconf-query"),
                                  {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                                   QStringLiteral("-p"), key, QStringLiteral("-n"),
                                   QStringLiteral("-t"), type, QStringLiteral("-s"), value},
                                  m_sessionEnv);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }

    [[nodiscard]] bool owed() const
    {
        const QString home = m_dir.filePath(QStringLiteral("home"));
        return lastingtest::owed(home + QStringLiteral("/.local/state"), m_configHome);
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QStringList m_env;
    QStringList m_sessionEnv;
    QString m_configHome;
    std::unique_ptr<PrivateSession> m_session;
};

struct Case
{
    const char *name;
    bool lastingKeys; // xfdesktop ran before and stored A with style 5
    std::vector<std::pair<const char *, bool>> changes; // picture, for good
    const char *deleted;
    QString imageAfter; // picture name, or empty: no key at all
    QString styleAfter;
};

const Case kCases[] = {
    {"temporary", true, {{"B", false}}, nullptr, QStringLiteral("A"), QStringLiteral("5")},
    {"for good", true, {{"B", true}}, nullptr, QStringLiteral("B"), QStringLiteral("5")},
    {"rotation through three",
     true,
     {{"B", false}, {"C", false}, {"D", false}},
     nullptr,
     QStringLiteral("A"),
     QStringLiteral("5")},
    {"lasting picture deleted meanwhile",
     true,
     {{"B", false}},
     "A",
     QStringLiteral("A"),
     QStringLiteral("5")},
    {"keys made for the temporary picture go again",
     false,
     {{"B", false}},
     nullptr,
     QString(),
     QString()},
};

TEST_F(XfceLasting, LoginBringsBackWhatLasts)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        m_configHome = m_dir.filePath(QStringLiteral("home/.config-%1").arg(c.name));
        m_env << QStringLiteral("XDG_CONFIG_HOME=") + m_configHome;
        login();
        if (c.lastingKeys) {
            create(kImage, QStringLiteral("string"), picture("A"));
            create(kStyle, QStringLiteral("int"), QStringLiteral("5"));
        }
        for (const auto &[name, forGood] : c.changes) {
            QStringList args{QStringLiteral("set"), picture(name)};
            if (forGood)
                args << QStringLiteral("for-good");
            const auto r = runLasting(args, m_sessionEnv);
            ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            EXPECT_EQ(query(kImage), picture(name));
        }
        if (c.deleted) {
            ASSERT_TRUE(QFile::remove(picture(c.deleted)));
        }
        logoff();
        login();
        // xfconfd itself keeps the last picture set.
        EXPECT_EQ(query(kImage), picture(c.changes.back().first));
        const auto r = runRestore(m_sessionEnv);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_EQ(query(kImage),
                  c.imageAfter.isEmpty() ? QString() : picture(qPrintable(c.imageAfter)));
        EXPECT_EQ(query(kStyle), c.styleAfter);
        EXPECT_FALSE(owed());
        // What was restored is what xfconfd keeps for the session after.
        logoff();
        login();
        EXPECT_EQ(query(kImage),
                  c.imageAfter.isEmpty() ? QString() : picture(qPrintable(c.imageAfter)));
        logoff();
        if (c.deleted) {
            ASSERT_TRUE(writeQuadrantPicture(picture(c.deleted), kPictureA, {16, 16}));
        }
    }
}

} // namespace
