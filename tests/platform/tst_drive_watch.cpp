// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux drive source against the real kernel: the test moves itself into
// a private user and mount namespace, so it can mount and unmount without
// touching the machine's own mount table.
#include "platform/drives.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

using namespace velumbra;

namespace {
QString g_namespaceError;
}

class TestDriveWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsMountsAndUnmounts()
    {
        if (!g_namespaceError.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private mount namespace: ") + g_namespaceError));
        // A folder under the home folder, on the same disk as the rest: once
        // bound, it is a disk mount outside the system's own folders.
        QTemporaryDir dir(QDir::homePath() + QStringLiteral("/velumbra-drive-XXXXXX"));
        QVERIFY(dir.isValid());
        const QByteArray target = QFile::encodeName(dir.path());

        std::unique_ptr<DriveSource> source = createDriveSource();
        QVERIFY(!source->drives().contains(dir.path()));
        QSignalSpy changed(source.get(), &DriveSource::changed);

        QVERIFY2(mount(target.constData(), target.constData(), nullptr, MS_BIND, nullptr) == 0,
                 std::strerror(errno));
        QVERIFY(changed.wait(5000));
        QVERIFY(source->drives().contains(dir.path()));

        QVERIFY2(umount(target.constData()) == 0, std::strerror(errno));
        QVERIFY(changed.wait(5000));
        QVERIFY(!source->drives().contains(dir.path()));
    }
};

int main(int argc, char **argv)
{
    // Before any thread exists, as unshare() requires.
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        g_namespaceError = QString::fromLocal8Bit(std::strerror(errno));
    QCoreApplication app(argc, argv);
    TestDriveWatch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_drive_watch.moc"
