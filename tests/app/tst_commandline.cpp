// SPDX-License-Identifier: GPL-3.0-or-later
// What each command line asks for, without a display: one row per way a
// start can go wrong or right.

#include "app/core/commandline.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using Action = StartRequest::Action;

// path: from the current folder, "" for none.
// clang-format off
struct Row { QStringList args; Action action; int exitCode = 0; const char *path = "";
             WallpaperLifetime lifetime = WallpaperLifetime::UntilLogoff; };
// clang-format on
Q_DECLARE_METATYPE(Row)

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
        QTest::addColumn<Row>("row");
        const auto row = [](const char *name, QStringList args, Action action, int exitCode = 0,
                            const char *path = "", WallpaperLifetime lifetime = {}) {
            QTest::newRow(name) << Row{args, action, exitCode, path, lifetime};
        };
        using L = WallpaperLifetime;
        // clang-format off
        row("nothing: the window", {}, Action::OpenWindow);
        // Relative paths are resolved here, not in the running instance's folder.
        row("folder", {"images"}, Action::OpenWindow, 0, "images");
        row("file", {"./images/../images/a.png"}, Action::OpenWindow, 0, "images/a.png");
        row("missing folder", {"absent"}, Action::Refuse, 1);
        row("until logoff", {"--temporaire", "images/a.png"}, Action::SetWallpaper, 0, "images/a.png", L::UntilLogoff);
        row("for good, = form", {"--par-defaut=images/a.png"}, Action::SetWallpaper, 0, "images/a.png", L::ForGood);
        row("setting and a folder", {"--temporaire", "images/a.png", "images"}, Action::Refuse, 2);
        // clang-format on
    }

    void parse()
    {
        QFETCH(Row, row);
        const StartRequest r =
            parseCommandLine(QStringList{QStringLiteral("velumbra")} + row.args, m_dir.path());
        QCOMPARE(r.action, row.action);
        QCOMPARE(r.exitCode, row.exitCode);
        QCOMPARE(r.text.isEmpty(), row.action != Action::Refuse); // a refusal says why
        QCOMPARE(r.path, *row.path ? m_dir.filePath(QString::fromUtf8(row.path)) : QString());
        if (row.action == Action::SetWallpaper)
            QCOMPARE(r.lifetime, row.lifetime);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
