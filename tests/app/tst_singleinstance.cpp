// SPDX-License-Identifier: GPL-3.0-or-later
// One instance: the window waits in the tray, rotating, and the built program
// started again with a file, on the same private session bus, brings it
// forward there and ends. The first instance runs in this process, wired as
// the program wires it, with faked services, so that its window can be read.

#include "app/frmvlb.h"
#include "platform/singleinstance.h"
#include "tests/common/fakecontext.h"

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

private Q_SLOTS:
    void secondStartBringsTheWindowForward()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("autre/c.bmp"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("autre")) &&
                QFile(file).open(QFile::WriteOnly));
        qputenv("HOME", dir.path().toUtf8()); // should the second start open a window
        const std::unique_ptr<SingleInstance> instance =
            createSingleInstance("org.velumbra.Velumbra");
        const Result<bool> first = instance->claim();
        QVERIFY2(first.ok() && *first, first.reason().c_str());

        FakeContext fake; // a first start: the random rotation is the mode chosen
        fake.prompter.answers = {Answer::No};
        FrmVLB window(fake.context());
        window.load();
        instance->onRequest = [&](const std::string &path) {
            window.openAndShow(QString::fromStdString(path));
        };
        window.openAndShow({});
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QVERIFY(!window.isVisible()); // in the tray

        QProcess second;
        second.start(QStringLiteral(VELUMBRA_PROGRAM), {file});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
        QTRY_VERIFY(window.isVisible());
        QCOMPARE(window.fichierPapierPeint(), file);
        QVERIFY(window.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive()); // still rotating
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
