#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "tests/common/fakecontext.h"

#include <QAction>
#include <QButtonGroup>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <sys/stat.h>

using namespace velumbra;

namespace {

QString settingsMarker()
{
    return QString::fromUtf8(kSettingsMarker.data(), qsizetype(kSettingsMarker.size()));
}

QRadioButton *arrayElement(QWidget *w, const char *name, int index)
{
    const QList<QRadioButton *> all = w->findChildren<QRadioButton *>(QString::fromLatin1(name));
    for (QRadioButton *b : all)
        if (b->property("index").toInt() == index)
            return b;
    return nullptr;
}

template <typename T> T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(velumbra::FrmVLB &)>)

class TestFrmVLB : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeContext> m_fake;
    std::unique_ptr<FrmVLB> m_window;
    QTemporaryDir m_dir;

    FrmVLB &make()
    {
        m_window = std::make_unique<FrmVLB>(m_fake->context());
        return *m_window;
    }

    void saveAll(const QString &folder, const char *file, const char *option, const char *time,
                 const char *unites, std::string_view marker = kSettingsMarker)
    {
        m_fake->settings.values = {{"Init/AUTEUR", std::string(marker)},
                                   {"Init/Drive", "/"},
                                   {"Init/Folder", folder.toStdString()},
                                   {"Init/Pattern", "*.gif;*.bmp"},
                                   {"Init/FileName", file},
                                   {"Init/Option", option},
                                   {"Init/Time", time},
                                   {"Init/Unites", unites}};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : {"a.bmp", "b.BMP", "c.gif", "d.jpg", "e.rle"}) {
            QFile f(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.gif"))), 0600), 0);
    }

    void init() { m_fake = std::make_unique<FakeContext>(); }
    void cleanup() { m_window.reset(); }

    void controlsCarryTheirTextsAndPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Command2") << "Command2" << -1 << "Fermer" << QRect(472, 160, 113, 33);
        QTest::newRow("Command1") << "Command1" << -1 << "OK" << QRect(320, 160, 113, 33);
        QTest::newRow("Frame1") << "Frame1" << -1 << "Votre choix :" << QRect(320, 0, 265, 153);
        QTest::newRow("FrameUnites") << "FrameUnites" << -1 << "Unités" << QRect(136, 72, 121, 73);
        QTest::newRow("OptUnites 2") << "OptUnites" << 2 << "Heure(s)" << QRect(8, 48, 105, 17);
        QTest::newRow("OptUnites 1") << "OptUnites" << 1 << "Minute(s)" << QRect(8, 32, 105, 17);
        QTest::newRow("OptUnites 0") << "OptUnites" << 0 << "Seconde(s)" << QRect(8, 16, 105, 17);
        QTest::newRow("Text2") << "Text2" << -1 << "5" << QRect(88, 104, 41, 19);
        QTest::newRow("Option1 2")
            << "Option1" << 2 << "Choix &aléatoire dans ce dossier" << QRect(16, 64, 113, 41);
        QTest::newRow("Option1 1")
            << "Option1" << 1 << "Définir par &défaut" << QRect(16, 48, 233, 25);
        QTest::newRow("Option1 0")
            << "Option1" << 0 << "Définir &temporairement" << QRect(16, 24, 233, 25);
        QTest::newRow("Label2") << "Label2" << -1 << "Toutes les" << QRect(32, 104, 57, 25);
        QTest::newRow("Text1") << "Text1" << -1 << "*.bmp;*.rle" << QRect(136, 8, 137, 19);
        QTest::newRow("File1") << "File1" << -1 << QString() << QRect(136, 40, 169, 149);
        QTest::newRow("Dir1") << "Dir1" << -1 << QString() << QRect(8, 40, 113, 156);
        QTest::newRow("Drive1") << "Drive1" << -1 << QString() << QRect(8, 8, 113, 21);
        QTest::newRow("Label3") << "Label3" << -1 << QString() << QRect(272, 8, 41, 17);
        QTest::newRow("image1") << "image1" << -1 << QString() << QRect(8, 232, 400, 295);
        QTest::newRow("Label1") << "Label1" << -1 << QString() << QRect(8, 200, 577, 33);
        QTest::newRow("Picture1") << "Picture1" << -1 << QString() << QRect(256, 256, 65, 49);
    }

    void controlsCarryTheirTextsAndPlaces()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        FrmVLB &w = make();
        QWidget *c = index >= 0 ? arrayElement(&w, name.toLatin1().constData(), index)
                                : w.findChild<QWidget *>(name);
        QVERIFY(c);
        QCOMPARE(c->geometry(), geometry);
        if (auto *b = qobject_cast<QAbstractButton *>(c))
            QCOMPARE(b->text(), text);
        else if (auto *e = qobject_cast<QLineEdit *>(c))
            QCOMPARE(e->text(), text);
        else if (auto *g = qobject_cast<QGroupBox *>(c))
            QCOMPARE(g->title(), text);
        else if (auto *l = qobject_cast<QLabel *>(c); l && !text.isEmpty())
            QCOMPARE(l->text(), text);
        QVERIFY2(!c->accessibleName().isEmpty(), "every control is named for screen readers");
        QVERIFY(!c->accessibleName().contains(QLatin1Char('&')));
    }

    void firstRunKeepsTheStartValues()
    {
        FrmVLB &w = make();
        w.load();
        QCOMPARE(w.windowTitle(), QStringLiteral("Velumbra °VLB°    Choix du papier-paint ..."));
        QCOMPARE(w.centralWidget()->size(), QSize(594, 645));
        QVERIFY(arrayElement(&w, "Option1", 2)->isChecked());
        QVERIFY(arrayElement(&w, "OptUnites", 1)->isChecked());
        QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("5"));
        QCOMPARE(child<FileList>(&w, "File1")->pattern(), QStringLiteral("*.bmp;*.rle"));
        QCOMPARE(w.fichierPapierPeint(), QString());
        QVERIFY(!w.intervalleRotation().has_value());
        QVERIFY(!child<QTimer>(&w, "Timer1")->isActive());
        // The window's icon is the 64 x 64 picture in 256 colours.
        const QImage icon(QStringLiteral(":/velumbra/velumbra.png"));
        QCOMPARE(icon.size(), QSize(64, 64));
        QCOMPARE(icon.format(), QImage::Format_Indexed8);
    }

    void measuresTheScreen_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QSize>("outline");
        QTest::newRow("1280x1024")
            << 1280 << 1024 << "La taille de l'écran est de 1280 pixels sur 1024"
            << QSize(640, 512);
        QTest::newRow("2560x1440")
            << 2560 << 1440 << "La taille de l'écran est de 2560 pixels sur 1440"
            << QSize(1280, 720);
        QTest::newRow("no screen")
            << -1 << -1 << "La taille de l'écran est de 0 pixels sur 0" << QSize(0, 0);
    }

    void measuresTheScreen()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, line);
        QFETCH(QSize, outline);
        if (width < 0)
            m_fake->screen.size.reset();
        else
            m_fake->screen.size = ScreenSize{width, height};
        m_fake->clock.days = 45000.5; // noon
        FrmVLB &w = make();
        w.load();
        QCOMPARE(child<QLabel>(&w, "Label1")->text(), line);
        QWidget *shape = child<QWidget>(&w, "Shape1");
        QCOMPARE(shape->size(), outline);
        QCOMPARE(shape->pos(), child<QWidget>(&w, "image1")->pos());
        QCOMPARE(m_fake->random.lastSeed, 43200u);
        QCOMPARE(m_fake->random.seedCount, 1);
        // The pattern box and the file list line up with the drive and folder lists.
        QCOMPARE(child<QWidget>(&w, "Text1")->y(), child<QWidget>(&w, "Drive1")->y());
        QCOMPARE(child<QWidget>(&w, "Text1")->height(), child<QWidget>(&w, "Drive1")->height());
        QCOMPARE(child<QWidget>(&w, "File1")->geometry().top(), child<QWidget>(&w, "Dir1")->y());
        QCOMPARE(child<QWidget>(&w, "File1")->height(), child<QWidget>(&w, "Dir1")->height());
    }

    void menuBarShowsOnlyTheHelpMenu()
    {
        FrmVLB &w = make();
        w.load();
        QStringList shown;
        const QList<QAction *> actions = w.menuBar()->actions();
        for (QAction *a : actions)
            if (a->isVisible())
                shown << a->text();
        QCOMPARE(shown, QStringList{QStringLiteral("&?")});
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("Mnu_Apropos"))->text(),
                 QStringLiteral("À &propos"));
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("Mnu_Aide"))->text(),
                 QStringLiteral("&Aide en ligne (WEB)"));
    }

    void tabOrderFollowsTheLayout()
    {
        FrmVLB &w = make();
        const QList<QWidget *> expected = {
            child<QWidget>(&w, "Drive1"),     child<QWidget>(&w, "Dir1"),
            child<QWidget>(&w, "Text1"),      child<QWidget>(&w, "File1"),
            arrayElement(&w, "Option1", 0),   arrayElement(&w, "Option1", 2),
            child<QWidget>(&w, "Text2"),      arrayElement(&w, "OptUnites", 0),
            arrayElement(&w, "OptUnites", 1), arrayElement(&w, "OptUnites", 2),
            child<QWidget>(&w, "Command1"),   child<QWidget>(&w, "Command2"),
            arrayElement(&w, "Option1", 1)};
        for (int i = 0; i + 1 < expected.size(); ++i) {
            QWidget *next = expected[i]->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, expected[i + 1]);
        }
    }

    void restoresUnderTheMarker_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("unites");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("expectOption");
        QTest::addColumn<int>("expectUnites");
        QTest::addColumn<QString>("expectTime");
        QTest::newRow("rotation in hours") << settingsMarker() << "2"
                                           << "2"
                                           << "30" << 2 << 2 << "23";
        QTest::newRow("temporary in seconds") << settingsMarker() << "0"
                                              << "0"
                                              << "7" << 0 << 0 << "7";
        QTest::newRow("halves to even") << settingsMarker() << "1.5"
                                        << "2.5"
                                        << "3" << 2 << 2 << "3";
        QTest::newRow("no number") << settingsMarker() << "abc"
                                   << ""
                                   << "" << 0 << 0 << "1";
        QTest::newRow("out of range keeps the start choice") << settingsMarker() << "7"
                                                             << "-3"
                                                             << "9" << 2 << 1 << "9";
        QTest::newRow("marker differs in case") << "ardeval quennet"
                                                << "0"
                                                << "0"
                                                << "7" << 2 << 1 << "5";
    }

    void restoresUnderTheMarker()
    {
        QFETCH(QString, marker);
        QFETCH(QString, option);
        QFETCH(QString, unites);
        QFETCH(QString, time);
        QFETCH(int, expectOption);
        QFETCH(int, expectUnites);
        QFETCH(QString, expectTime);
        saveAll(m_dir.path(), "c.gif", option.toUtf8().constData(), time.toUtf8().constData(),
                unites.toUtf8().constData(), marker.toUtf8().constData());
        FrmVLB &w = make();
        w.load();
        QVERIFY(arrayElement(&w, "Option1", expectOption)->isChecked());
        QVERIFY(arrayElement(&w, "OptUnites", expectUnites)->isChecked());
        QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), expectTime);
        const bool restored = marker == settingsMarker();
        // The restored mode enables the interval controls only for the rotation.
        QCOMPARE(child<QLineEdit>(&w, "Text2")->isEnabled(), expectOption == 2);
        auto *file1 = child<FileList>(&w, "File1");
        QCOMPARE(child<FolderList>(&w, "Dir1")->path() == m_dir.path(), restored);
        QCOMPARE(file1->pattern(),
                 restored ? QStringLiteral("*.gif;*.bmp") : QStringLiteral("*.bmp;*.rle"));
        if (restored) {
            // The saved file is selected but is not yet the current file.
            QCOMPARE(file1->fileName(), QStringLiteral("c.gif"));
            QCOMPARE(w.fichierPapierPeint(), QString());
        }
    }

    void restoreSkipsWhatIsGoneOrHostile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("gone") << m_dir.path() + QStringLiteral("/gone") << "nothere.gif";
        QTest::newRow("a pipe") << m_dir.path() + QStringLiteral("/pipe.gif") << "";
        // As root, reading /proc/kmsg waits for the next kernel message.
        QTest::newRow("/proc") << "/proc"
                               << "kmsg";
        QTest::newRow("/dev") << "/dev"
                              << "zero";
        QTest::newRow("a pipe as the file") << m_dir.path() << "pipe.gif";
    }

    void restoreSkipsWhatIsGoneOrHostile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        saveAll(folder, file.toUtf8().constData(), "1", "4", "0");
        m_fake->settings.values["Init/Drive"] = "Q:\\";
        FrmVLB &w = make();
        const QString startFolder = child<FolderList>(&w, "Dir1")->path();
        w.load();
        const bool opened = QFileInfo(folder).isDir();
        QCOMPARE(child<FolderList>(&w, "Dir1")->path(), opened ? folder : startFolder);
        QCOMPARE(child<FileList>(&w, "File1")->path(), opened ? folder : startFolder);
        QVERIFY(arrayElement(&w, "Option1", 1)->isChecked());
        QCOMPARE(*w.intervalleRotation(), 4.0 / 24 / 60 / 60);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.close();
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
    }

    void everyWayOutSavesTheSameEightKeys_data()
    {
        QTest::addColumn<std::function<void(FrmVLB &)>>("quit");
        QTest::newRow("Fermer") << std::function<void(FrmVLB &)>(
            [](FrmVLB &w) { child<QPushButton>(&w, "Command2")->click(); });
        QTest::newRow("Escape") << std::function<void(FrmVLB &)>(
            [](FrmVLB &w) { QTest::keyClick(arrayElement(&w, "Option1", 2), Qt::Key_Escape); });
        QTest::newRow("close box") << std::function<void(FrmVLB &)>([](FrmVLB &w) { w.close(); });
        QTest::newRow("Quitter") << std::function<void(FrmVLB &)>(
            [](FrmVLB &w) { w.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger(); });
    }

    void everyWayOutSavesTheSameEightKeys()
    {
        QFETCH(std::function<void(FrmVLB &)>, quit);
        saveAll(m_dir.path(), "c.gif", "2", "", "2");
        FrmVLB &w = make();
        w.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        quit(w);
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"Init/AUTEUR", std::string(kSettingsMarker)},
            {"Init/Drive", "/"},
            {"Init/Folder", m_dir.path().toStdString()},
            {"Init/Pattern", "*.gif;*.bmp"},
            {"Init/FileName", "c.gif"},
            {"Init/Option", "2"},
            {"Init/Time", "1"},
            {"Init/Unites", "2"}};
        QCOMPARE(m_fake->settings.committed, expected);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.exitCode(), 0);
        QVERIFY(m_fake->prompter.shown.empty());
    }

    void aFailedSaveIsReportedAndEndsWithAnError()
    {
        m_fake->settings.failWith =
            settingsNotSaved("/home/u/.config/Velumbra/Velumbra.conf", "le disque est plein");
        FrmVLB &w = make();
        w.load();
        w.close();
        QCOMPARE(m_fake->prompter.shown.size(), std::size_t(1));
        QCOMPARE(m_fake->prompter.shown[0].title, QStringLiteral("Velumbra"));
        QCOMPARE(
            m_fake->prompter.shown[0].text,
            QStringLiteral("Les réglages n'ont pas pu être enregistrés dans "
                           "« /home/u/.config/Velumbra/Velumbra.conf » : le disque est plein."));
        QCOMPARE(w.exitCode(), 1);
    }

    void enterAppliesThePatternOnlyInThePatternBox()
    {
        FrmVLB &w = make();
        w.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *ok = child<QPushButton>(&w, "Command1");
        QSignalSpy okClicks(ok, &QPushButton::clicked);
        auto *text1 = child<QLineEdit>(&w, "Text1");
        text1->setText(QStringLiteral("*.gif"));
        QCOMPARE(child<FileList>(&w, "File1")->pattern(), QStringLiteral("*.bmp;*.rle"));
        QTest::keyClick(text1, Qt::Key_Return);
        QCOMPARE(child<FileList>(&w, "File1")->pattern(), QStringLiteral("*.gif"));
        QCOMPARE(okClicks.count(), 0);
        // Elsewhere Enter presses the default button.
        QTest::keyClick(child<QLineEdit>(&w, "Text2"), Qt::Key_Return);
        QTest::keyClick(child<QWidget>(&w, "File1"), Qt::Key_Enter);
        QCOMPARE(okClicks.count(), 2);
    }

    void modeEnablesTheIntervalOnlyForTheRotation_data()
    {
        QTest::addColumn<int>("index");
        // Which mode has an interval is the OK decisions' table (test_okaction);
        // these rows check that the window greys the controls out and back.
        QTest::newRow("temporary") << 0;
        QTest::newRow("rotation") << 2;
    }

    void modeEnablesTheIntervalOnlyForTheRotation()
    {
        QFETCH(int, index);
        FrmVLB &w = make();
        w.load();
        w.show();
        auto *timer = child<QTimer>(&w, "Timer1");
        timer->start(1000);
        QTest::mouseClick(arrayElement(&w, "Option1", index), Qt::LeftButton);
        QVERIFY(arrayElement(&w, "Option1", index)->isChecked());
        QVERIFY(!timer->isActive());
        for (const char *name : {"Label2", "Text2", "FrameUnites"})
            QCOMPARE(child<QWidget>(&w, name)->isEnabled(), index == 2);
        QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("5"));
    }

    void choosingAUnitValidatesTheCount()
    {
        FrmVLB &w = make();
        w.load();
        w.show();
        auto *text2 = child<QLineEdit>(&w, "Text2");
        text2->setText(QStringLiteral("30"));
        QTest::mouseClick(arrayElement(&w, "OptUnites", 2), Qt::LeftButton);
        QCOMPARE(text2->text(), QStringLiteral("23"));
        QCOMPARE(*w.intervalleRotation(), 23.0 / 24);
        QTest::mouseClick(arrayElement(&w, "OptUnites", 1), Qt::LeftButton);
        QCOMPARE(text2->text(), QStringLiteral("23"));
        QCOMPARE(*w.intervalleRotation(), 23.0 / 24 / 60);
        text2->setText(QStringLiteral("2.5"));
        QTest::mouseClick(arrayElement(&w, "OptUnites", 0), Qt::LeftButton);
        QCOMPARE(text2->text(), QStringLiteral("2.5"));
        QCOMPARE(*w.intervalleRotation() * 86400, 2.5);
    }
};

QTEST_MAIN(TestFrmVLB)
#include "tst_frmvlb.moc"
