// SPDX-License-Identifier: GPL-3.0-or-later
// One instance: the window waits in the tray, rotating, and the real
// program started again with a folder or a file brings it forward there and
// ends. The first instance runs in this process, wired as the program wires
// it, so that what its window shows can be read; its services are fakes
// (no real tray or desktop is needed to show a window again). The second
// is the built program, on a private session bus or, without one, on the
// local socket in XDG_RUNTIME_DIR.

#include "app/frmvlb.h"
#include "browser/folderlist.h"
#include "platform/singleinstance.h"
#include "tests/common/fakecontext.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace velumbra;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QByteArray m_busAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS"); // dbus-run-session's

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && !m_busAddress.isEmpty());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("runtime")) &&
                QDir(m_dir.path()).mkpath(QStringLiteral("autre dossier")));
        QVERIFY(QFile(m_dir.filePath(QStringLiteral("autre dossier/c.bmp")))
                    .open(QIODevice::WriteOnly));
        qputenv("HOME", m_dir.path().toUtf8()); // should the second start open a window
        qputenv("XDG_RUNTIME_DIR", m_dir.filePath(QStringLiteral("runtime")).toUtf8());
    }

    void secondStartBringsTheWindowForward_data()
    {
        QTest::addColumn<bool>("sessionBus");
        QTest::addColumn<QString>("argument"); // relative to m_dir
        QTest::newRow("session bus, a folder") << true << QStringLiteral("autre dossier");
        QTest::newRow("local socket, a file") << false << QStringLiteral("autre dossier/c.bmp");
    }

    void secondStartBringsTheWindowForward()
    {
        QFETCH(bool, sessionBus);
        QFETCH(QString, argument);
        // Where there is no bus, its address leads nowhere. The second start
        // inherits it, and the runtime folder.
        qputenv("DBUS_SESSION_BUS_ADDRESS", sessionBus ? m_busAddress : "unix:path=/nonexistent");
        const std::unique_ptr<SingleInstance> instance =
            createSingleInstance("org.velumbra.Velumbra");
        const Result<bool> first = instance->claim();
        QVERIFY2(first.ok() && *first, first.reason().c_str());

        // A first start: the random rotation is the mode chosen.
        FakeContext fake;
        fake.prompter.answers = {Answer::No};
        FrmVLB window(fake.context());
        window.load();
        instance->onRequest = [&window](const std::string &path) {
            window.openAndShow(QString::fromStdString(path));
        };
        window.openAndShow({});
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QVERIFY(!window.isVisible()); // OK in rotation mode hides the window into the tray

        QProcess second;
        second.setWorkingDirectory(m_dir.path());
        second.start(QStringLiteral(VELUMBRA_PROGRAM), {argument});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0,
                 second.readAllStandardError().constData());

        QTRY_VERIFY(window.isVisible());
        QCOMPARE(window.findChild<FolderList *>(QStringLiteral("Dir1"))->path(),
                 m_dir.filePath(QStringLiteral("autre dossier")));
        if (argument.endsWith(QStringLiteral(".bmp")))
            QCOMPARE(window.fichierPapierPeint(), m_dir.filePath(argument));
        QVERIFY(window.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive()); // still rotating
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
