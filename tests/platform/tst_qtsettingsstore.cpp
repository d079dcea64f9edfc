#include "platform/qtsettingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using velumbra::QtSettingsStore;

// The store is tested against the real QSettings file in a temporary
// XDG_CONFIG_HOME. Running as root (CI), permissions do not stop writes, so
// the failures are made with real read-only and full file systems: small
// tmpfs mounts in a private mount namespace of this process.
class TestQtSettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_configHome;
    bool m_privateMounts = false;

    QString confPath() const { return m_configHome + QStringLiteral("/Velumbra/Velumbra.conf"); }

    void writeRaw(const QByteArray &content)
    {
        QDir().mkpath(m_configHome + QStringLiteral("/Velumbra"));
        QFile f(confPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    QByteArray readRaw() const
    {
        QFile f(confPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool mountTmpfs(const QString &options)
    {
        return ::mount("tmpfs", QFile::encodeName(m_configHome).constData(), "tmpfs", 0,
                       options.toLatin1().constData()) == 0;
    }

    static void writeEight(QtSettingsStore &s, const std::string &pattern)
    {
        s.write("Init", "AUTEUR", "Ardeval Quennet");
        s.write("Init", "Drive", "/");
        s.write("Init", "Folder", "/home/élodie/Images, été");
        s.write("Init", "Pattern", pattern);
        s.write("Init", "FileName", "\"quoted\" = x.bmp");
        s.write("Init", "Option", "2");
        s.write("Init", "Time", "");
        s.write("Init", "Unites", "1");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_configHome = m_home.path() + QStringLiteral("/config");
        QDir().mkpath(m_configHome);
        // QSettings reads XDG_CONFIG_HOME once, at its first use.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome));
        if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
            m_privateMounts = true;
    }

    void init()
    {
        for (const QString &file : {confPath(), confPath() + QStringLiteral(".bak")}) {
            QFile::remove(file);
            QDir(file).removeRecursively();
        }
    }

    void keepsItsFileWhereUsersExpectIt()
    {
        QCOMPARE(QString::fromStdString(QtSettingsStore().location()), confPath());
    }

    void roundTripsEveryText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("preset") << QStringLiteral("*.bmp;*.rle");
        QTest::newRow("comma") << QStringLiteral("*.jpg,*.gif");
        QTest::newRow("blanks") << QStringLiteral("  *.png  ");
        QTest::newRow("empty") << QString();
        QTest::newRow("brackets and at") << QStringLiteral("@Variant([x]) #1;=");
    }

    void roundTripsEveryText()
    {
        QFETCH(QString, pattern);
        {
            QtSettingsStore s;
            writeEight(s, pattern.toStdString());
            QVERIFY(!s.commit());
        }
        QVERIFY(readRaw().contains("[Init]"));
        QtSettingsStore back;
        QCOMPARE(back.read("Init", "Pattern"), pattern.toStdString());
        QCOMPARE(back.read("Init", "Folder"), std::string("/home/élodie/Images, été"));
        QCOMPARE(back.read("Init", "FileName"), std::string("\"quoted\" = x.bmp"));
        QCOMPARE(back.read("Init", "Time"), std::string());
        QCOMPARE(back.read("Init", "Absent"), std::string());
    }

    void survivesADamagedFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "folder" and "pipe" make those instead
        QTest::addColumn<QString>("marker");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[Init\x01\nAUTEUR=\x80\x81", 16)
                                << QString();
        QTest::newRow("no section") << QByteArray("AUTEUR=Ardeval Quennet\n") << QString();
        QTest::newRow("list value") << QByteArray("[Init]\nAUTEUR=Ardeval Quennet\nPattern=a,b\n")
                                    << QStringLiteral("Ardeval Quennet");
        QTest::newRow("variant value")
            << QByteArray(
                   "[Init]\nAUTEUR=Ardeval Quennet\nOption=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\n")
            << QStringLiteral("Ardeval Quennet");
        QTest::newRow("huge value")
            << ("[Init]\nAUTEUR=Ardeval Quennet\nTime=" + QByteArray(4 << 20, '9') + "\n")
            << QStringLiteral("Ardeval Quennet");
        QTest::newRow("unterminated quote")
            << QByteArray("[Init]\nAUTEUR=\"Ardeval Quennet\nDrive=/\n") << QString();
        // Once, a pipe kept the program from ever showing its window.
        QTest::newRow("a folder") << QByteArray("folder") << QString();
        QTest::newRow("a pipe") << QByteArray("pipe") << QString();
    }

    void survivesADamagedFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, marker);
        const bool special = content == "folder" || content == "pipe";
        if (content == "folder")
            QVERIFY(QDir().mkpath(confPath()));
        else if (content == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(confPath()).constData(), 0600), 0);
        else
            writeRaw(content);
        QtSettingsStore s;
        for (const char *key :
             {"AUTEUR", "Drive", "Folder", "Pattern", "FileName", "Option", "Time", "Unites"})
            (void)s.read("Init", key);
        if (!marker.isNull())
            QCOMPARE(QString::fromStdString(s.read("Init", "AUTEUR")), marker);
        // A damaged file never blocks the next save.
        writeEight(s, "*.gif");
        QVERIFY(!s.commit());
        QCOMPARE(QtSettingsStore().read("Init", "Pattern"), std::string("*.gif"));
        // What could not be read is set aside, not destroyed.
        if (special)
            QVERIFY(QFileInfo::exists(confPath() + QStringLiteral(".bak")));
        else if (QFile::exists(confPath() + QStringLiteral(".bak"))) {
            QFile aside(confPath() + QStringLiteral(".bak"));
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QCOMPARE(aside.readAll(), content);
        }
    }

    void failedWriteSaysWhyAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file system")
            << QStringLiteral("ro") << QStringLiteral("lecture seule");
        QTest::newRow("full disk")
            << QStringLiteral("full") << QStringLiteral("le disque est plein");
        QTest::newRow("read-only file")
            << QStringLiteral("chmod") << QStringLiteral("lecture seule");
    }

    void failedWriteSaysWhyAndKeepsTheOldFile()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const bool root = ::geteuid() == 0;
        if ((how == QLatin1String("chmod")) == root)
            QSKIP("permissions only stop non-root users; file-system mounts only work for root");
        if (root && !m_privateMounts)
            QSKIP("no private mount namespace for the tmpfs mounts");
        if (root && !mountTmpfs(QStringLiteral("size=64k")))
            QSKIP("cannot mount a tmpfs here");

        const QByteArray before("[Init]\nAUTEUR=Ardeval Quennet\nPattern=*.old\n");
        writeRaw(before);
        if (how == QLatin1String("ro")) {
            QVERIFY(::mount("tmpfs", QFile::encodeName(m_configHome).constData(), "tmpfs",
                            MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        } else if (how == QLatin1String("full")) {
            QFile filler(m_configHome + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        } else {
            QFile::setPermissions(confPath(), QFile::ReadOwner);
            QFile::setPermissions(m_configHome + QStringLiteral("/Velumbra"),
                                  QFile::ReadOwner | QFile::ExeOwner);
        }

        QtSettingsStore s;
        writeEight(s, std::string(3000, 'p'));
        const auto error = s.commit();
        const QByteArray after = readRaw();

        if (root)
            ::umount(QFile::encodeName(m_configHome).constData());
        else
            QFile::setPermissions(m_configHome + QStringLiteral("/Velumbra"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(error.has_value());
        QCOMPARE(QString::fromStdString(error->location), confPath());
        QVERIFY2(QString::fromStdString(error->reason).contains(reason), error->reason.c_str());
        QCOMPARE(after, before);
    }
};

QTEST_GUILESS_MAIN(TestQtSettingsStore)
#include "tst_qtsettingsstore.moc"
