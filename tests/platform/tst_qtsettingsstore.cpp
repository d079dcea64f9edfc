// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qtsettingsstore.h"
#include "tests/common/testpictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using velumbra::QtSettingsStore;

namespace {

// What the program saves, with the texts QSettings would otherwise mangle:
// lists, blanks, brackets, "@Variant", quotes and nothing at all.
const std::map<std::string, std::string> kSaved{{"Folder", "/home/élodie/\"Images\", été"},
                                                {"Pattern", "  @Variant([x]) #1;=*.jpg,*.gif  "},
                                                {"Time", ""}};

} // namespace

// The store against the real QSettings file in a temporary XDG_CONFIG_HOME.
// Running as root (CI), permissions do not stop writes, so the failures are
// made with real read-only and full file systems: small tmpfs mounts in a
// private mount namespace of this process.
class TestQtSettingsStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    QString m_folder = m_home.path() + QStringLiteral("/Velumbra");
    QString m_file = m_folder + QStringLiteral("/Velumbra.conf");
    bool m_privateMounts = false;

    static auto save(QtSettingsStore &s)
    {
        for (const auto &[key, value] : kSaved)
            s.write("Init", key, value);
        return s.commit();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // QSettings reads XDG_CONFIG_HOME once, at its first use.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
        m_privateMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                          ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
    void init()
    {
        QDir().mkpath(m_folder);
        for (const QString &file : {m_file, m_file + ".bak"})
            QFile::remove(file);
    }

    // Would catch: a file QSettings cannot parse blocking every later save, or
    // destroyed instead of set aside; a pipe in its place keeping the program
    // from ever showing its window (it once did).
    void survivesAnyFileAndSaves_data()
    {
        QTest::addColumn<QByteArray>("content"); // "pipe" makes one instead
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[Init\x01\nAUTEUR=\x80\x81", 16);
        QTest::newRow("a pipe") << QByteArray("pipe");
    }

    void survivesAnyFileAndSaves()
    {
        QFETCH(QByteArray, content);
        if (content == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(m_file).constData(), 0600), 0);
        else
            QVERIFY(velumbra::test::writeFile(m_file, content));
        QtSettingsStore s;
        (void)s.read("Init", "Folder");
        QVERIFY(save(s));
        QtSettingsStore back;
        for (const auto &[key, value] : kSaved)
            QCOMPARE(back.read("Init", key), value);
        QVERIFY(content == "pipe" ? QFile::exists(m_file + ".bak")
                                  : velumbra::test::readFile(m_file + ".bak") == content);
    }

    void failedWriteSaysWhyAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("ro") << "système de fichiers est en lecture seule";
        QTest::newRow("full") << "le disque est plein";
    }

    void failedWriteSaysWhyAndKeepsTheOldFile()
    {
        QFETCH(QString, reason);
        const QByteArray folder = QFile::encodeName(m_folder);
        if (!m_privateMounts || ::mount("tmpfs", folder, "tmpfs", 0, "size=64k") != 0)
            QSKIP("the tmpfs mounts need root and a private mount namespace");
        const QByteArray before("[Init]\nPattern=*.old\n");
        QVERIFY(velumbra::test::writeFile(m_file, before));
        if (QByteArray(QTest::currentDataTag()) == "ro")
            QCOMPARE(::mount("tmpfs", folder, "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        else // more than the disk holds: the write stops where it is full
            (void)velumbra::test::writeFile(m_folder + "/filler", QByteArray(64 << 10, 'x'));
        QtSettingsStore s;
        s.write("Init", "Grand", std::string(3000, 'p')); // more than a full disk's last page
        const auto error = save(s);
        const QByteArray after = velumbra::test::readFile(m_file);
        ::umount(folder);
        const QString message = QString::fromStdString(error.reason());
        QVERIFY2(!error && message.contains("« " + m_file + " »") && message.contains(reason),
                 qPrintable(message));
        QCOMPARE(after, before);
    }
};

QTEST_GUILESS_MAIN(TestQtSettingsStore)
#include "tst_qtsettingsstore.moc"
