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
#include <QImage>
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
    QProcess m_bus;
    QString m_busAddress;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *folder : {"rotation", "runtime", "home", "autre dossier"})
            QVERIFY(QDir(m_dir.path()).mkpath(QString::fromUtf8(folder)));
        for (const char *picture : {"rotation/a.bmp", "rotation/b.bmp", "autre dossier/c.bmp"}) {
            QImage image(8, 6, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            QVERIFY(image.save(m_dir.filePath(QString::fromUtf8(picture)), "BMP"));
        }
        QVERIFY(QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1")});
        QVERIFY2(m_bus.waitForReadyRead(10000), "dbus-daemon (scripts/test installs it)");
        m_busAddress = QString::fromUtf8(m_bus.readLine().trimmed());
    }

    void cleanupTestCase()
    {
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void secondStartBringsTheWindowForward_data()
    {
        QTest::addColumn<bool>("sessionBus");
        QTest::addColumn<QString>("argument"); // relative to m_dir
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file"); // the current file afterwards; "": the rotation's
        QTest::newRow("session bus, a folder") << true << QStringLiteral("autre dossier")
                                               << QStringLiteral("autre dossier") << QString();
        QTest::newRow("local socket, a file")
            << false << QStringLiteral("autre dossier/c.bmp") << QStringLiteral("autre dossier")
            << QStringLiteral("autre dossier/c.bmp");
    }

    void secondStartBringsTheWindowForward()
    {
        QFETCH(bool, sessionBus);
        QFETCH(QString, argument);
        QFETCH(QString, folder);
        QFETCH(QString, file);

        // Where there is no bus, its address leads nowhere.
        const QString bus = sessionBus ? m_busAddress : QStringLiteral("unix:path=/nonexistent");
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());

        const std::unique_ptr<SingleInstance> instance =
            createSingleInstance("org.velumbra.Velumbra");
        const Result<bool> first = instance->claim();
        QVERIFY2(first.ok(), first.reason().c_str());
        QVERIFY(*first);

        FakeContext fake;
        fake.settings.values = {
            {"Init/AUTEUR", "Ardeval Quennet"},
            {"Init/Folder", m_dir.filePath(QStringLiteral("rotation")).toStdString()},
            {"Init/Pattern", "*.bmp"},
            {"Init/Option", "2"},
            {"Init/Time", "1"},
            {"Init/Unites", "2"}};
        fake.prompter.answers = {Answer::No};
        fake.random.draws = {0.2, 0.7}; // each tick's draw differs from the last
        FrmVLB window(fake.context());
        window.load();
        instance->onRequest = [&window](const std::string &path) {
            window.openAndShow(QString::fromStdString(path));
        };
        window.openAndShow({});
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QVERIFY2(!window.isVisible(), "OK in rotation mode hides the window into the tray");

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("home")));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(m_dir.path());
        second.start(QStringLiteral(VELUMBRA_PROGRAM), {argument});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0,
                 second.readAllStandardError().constData());

        QTRY_VERIFY(window.isVisible());
        QCOMPARE(window.findChild<FolderList *>(QStringLiteral("Dir1"))->path(),
                 m_dir.filePath(folder));
        if (!file.isEmpty())
            QCOMPARE(window.fichierPapierPeint(), m_dir.filePath(file));
        QVERIFY2(window.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive(),
                 "the rotation goes on");
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
