// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/core/savedstate.h"
#include "platform/qtsettingsstore.h"
#include "tests/common/testpictures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using velumbra::kSettingsMarker;
using velumbra::QtSettingsStore;

namespace {

const QByteArray kMarker(kSettingsMarker.data(), qsizetype(kSettingsMarker.size()));

// What the program saves, with the texts QSettings would otherwise mangle:
// lists, blanks, brackets, "@Variant", quotes and nothing at all.
const std::map<std::string, std::string> kSaved{{"AUTEUR", std::string(kSettingsMarker)},
                                                {"Folder", "/home/élodie/Images, été"},
                                                {"Pattern", "  @Variant([x]) #1;=*.jpg,*.gif  "},
                                                {"FileName", "\"quoted\" = x.bmp"},
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
    QString m_config = m_home.path() + QStringLiteral("/config");
    QString m_file = m_config + QStringLiteral("/Velumbra/Velumbra.conf");
    bool m_privateMounts = false;

    bool write(const QByteArray &content)
    {
        return QDir().mkpath(m_config + "/Velumbra") && velumbra::test::writeFile(m_file, content);
    }
    static auto save(QtSettingsStore &s)
    {
        for (const auto &[key, value] : kSaved)
            s.write("Init", key, value);
        return s.commit();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(m_config));
        // QSettings reads XDG_CONFIG_HOME once, at its first use.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
        m_privateMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                          ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        QCOMPARE(QString::fromStdString(QtSettingsStore().location()), m_file);
    }
    void init()
    {
        for (const QString &file : {m_file, m_file + ".bak"})
            QFile::remove(file), QDir(file).removeRecursively();
    }

    void survivesAnyFileAndSaves_data()
    {
        QTest::addColumn<QByteArray>("content"); // "folder" and "pipe" make those instead
        const QByteArray init = "[Init]\nAUTEUR=" + kMarker + "\n";
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[Init\x01\nAUTEUR=\x80\x81", 16);
        QTest::newRow("no section") << "AUTEUR=" + kMarker + "\n";
        QTest::newRow("list value") << init + "Pattern=a,b\n";
        QTest::newRow("variant value") << init + "Option=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\n";
        QTest::newRow("huge value") << init + "Time=" + QByteArray(4 << 20, '9') + "\n";
        QTest::newRow("unterminated quote") << "[Init]\nAUTEUR=\"" + kMarker + "\nDrive=/\n";
        // Once, a pipe kept the program from ever showing its window.
        QTest::newRow("a folder") << QByteArray("folder");
        QTest::newRow("a pipe") << QByteArray("pipe");
    }

    void survivesAnyFileAndSaves()
    {
        QFETCH(QByteArray, content);
        const bool markerKept = content.startsWith("[Init]\nAUTEUR=" + kMarker);
        const bool special = content == "folder" || content == "pipe";
        if (content == "folder")
            QVERIFY(QDir().mkpath(m_file));
        else if (content == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(m_file).constData(), 0600), 0);
        else if (!content.isEmpty())
            QVERIFY(write(content));
        QtSettingsStore s;
        for (const auto &[key, value] : kSaved)
            (void)s.read("Init", key);
        if (markerKept)
            QCOMPARE(s.read("Init", "AUTEUR"), std::string(kSettingsMarker));
        QVERIFY(save(s)); // a damaged file never blocks the next save
        QtSettingsStore back;
        for (const auto &[key, value] : kSaved)
            QCOMPARE(back.read("Init", key), value);
        QCOMPARE(back.read("Init", "Absent"), std::string());
        // What could not be read is set aside, not destroyed.
        QFile aside(m_file + ".bak");
        QVERIFY(special ? aside.exists()
                        : !aside.open(QIODevice::ReadOnly) || aside.readAll() == content);
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
        const QString how = QString::fromLatin1(QTest::currentDataTag());
        const QByteArray config = QFile::encodeName(m_config);
        if (!m_privateMounts || ::mount("tmpfs", config, "tmpfs", 0, "size=64k") != 0)
            QSKIP("the tmpfs mounts need root and a private mount namespace");
        const QByteArray before("[Init]\nAUTEUR=" + kMarker + "\nPattern=*.old\n");
        QVERIFY(write(before));
        if (how == "ro") {
            QCOMPARE(::mount("tmpfs", config, "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        } else {
            QFile filler(m_config + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
            }
        }
        QtSettingsStore s;
        s.write("Init", "Grand", std::string(3000, 'p')); // more than a full disk's last page
        const auto error = save(s);
        const QByteArray after = velumbra::test::readFile(m_file);
        ::umount(config);
        const QString message = QString::fromStdString(error.reason());
        QVERIFY2(!error && message.contains("« " + m_file + " »") && message.contains(reason),
                 qPrintable(message));
        QCOMPARE(after, before);
    }
};

QTEST_GUILESS_MAIN(TestQtSettingsStore)
#include "tst_qtsettingsstore.moc"
