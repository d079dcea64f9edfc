// SPDX-License-Identifier: GPL-3.0-or-later
// What each command line asks for, without a display: one row per way a
// start can go wrong or right (help and version: test_commandline_x11).

#include "app/core/commandline.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using Action = StartRequest::Action;

Q_DECLARE_METATYPE(velumbra::StartRequest::Action)
Q_DECLARE_METATYPE(velumbra::WallpaperLifetime)

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir; // the current folder: images/ and images/a.png in it

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("images")));
        QVERIFY(QFile(m_dir.filePath(QStringLiteral("images/a.png"))).open(QIODevice::WriteOnly));
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("path"); // from the current folder; "" for none
        QTest::addColumn<WallpaperLifetime>("lifetime");

        const auto row = [](const char *name, QStringList args, Action action, int exitCode = 0,
                            const char *path = "",
                            WallpaperLifetime lifetime = WallpaperLifetime::UntilLogoff) {
            QTest::newRow(name) << args << action << exitCode << QString::fromUtf8(path)
                                << lifetime;
        };
        using L = WallpaperLifetime;
        // clang-format off
        row("nothing: the window", {}, Action::OpenWindow);
        // Relative paths are resolved here, not in the running instance's folder.
        row("folder", {"images"}, Action::OpenWindow, 0, "images");
        row("file", {"./images/../images/a.png"}, Action::OpenWindow, 0, "images/a.png");
        row("missing folder", {"absent"}, Action::Refuse, 1);
        row("two folders", {"images", "images"}, Action::Refuse, 2);
        row("until logoff", {"--temporaire", "images/a.png"}, Action::SetWallpaper, 0, "images/a.png", L::UntilLogoff);
        row("for good, = form", {"--par-defaut=images/a.png"}, Action::SetWallpaper, 0, "images/a.png", L::ForGood);
        row("no file to set", {"--temporaire"}, Action::Refuse, 2);
        row("both lifetimes", {"--temporaire", "a", "--par-defaut", "b"}, Action::Refuse, 2);
        row("setting and a folder", {"--temporaire", "images/a.png", "images"}, Action::Refuse, 2);
        // clang-format on
    }

    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(int, exitCode);
        QFETCH(QString, path);
        QFETCH(WallpaperLifetime, lifetime);

        args.prepend(QStringLiteral("velumbra"));
        const StartRequest r = parseCommandLine(args, m_dir.path());
        QCOMPARE(r.action, action);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.text.isEmpty(), action != Action::Refuse); // a refusal says why
        QCOMPARE(r.path, path.isEmpty() ? QString() : m_dir.filePath(path));
        if (action == Action::SetWallpaper)
            QCOMPARE(r.lifetime, lifetime);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
