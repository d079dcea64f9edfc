#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "tests/common/fakecontext.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
    }

    // What a screen reader hears, in the tab chain's order and then the rest.
    // An empty name is the drive shown, which depends on where the test runs.
    void screenReadersHearWhatEachControlShows_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("action");
        const auto row = [](const char *control, QAccessible::Role role, const char *name,
                            const QString &action = {}) {
            QTest::newRow(control)
                << QString::fromLatin1(control) << int(role) << QString::fromUtf8(name) << action;
        };
        const QString toggle = QAccessibleActionInterface::toggleAction();
        row("Drive1", QAccessible::ComboBox, "", QAccessibleActionInterface::showMenuAction());
        row("Dir1", QAccessible::List, "Dossiers");
        row("Text1", QAccessible::EditableText, "Filtre des fichiers");
        row("File1", QAccessible::List, "Fichiers");
        row("Option1 0", QAccessible::RadioButton, "Définir temporairement", toggle);
        row("Option1 2", QAccessible::RadioButton, "Choix aléatoire dans ce dossier", toggle);
        row("Text2", QAccessible::EditableText, "Intervalle de rotation");
        row("OptUnites 0", QAccessible::RadioButton, "Seconde(s)", toggle);
        row("OptUnites 1", QAccessible::RadioButton, "Minute(s)", toggle);
        row("OptUnites 2", QAccessible::RadioButton, "Heure(s)", toggle);
        row("Command1", QAccessible::Button, "OK", QAccessibleActionInterface::pressAction());
        row("Command2", QAccessible::Button, "Fermer", QAccessibleActionInterface::pressAction());
        row("Option1 1", QAccessible::RadioButton, "Définir par défaut", toggle);
        row("Frame1", QAccessible::Grouping, "Votre choix :");
        row("FrameUnites", QAccessible::Grouping, "Unités");
        row("Label2", QAccessible::StaticText, "Toutes les");
        row("Label3", QAccessible::ButtonMenu, "Filtres prédéfinis",
            QAccessibleActionInterface::showMenuAction());
        row("Label1", QAccessible::StatusBar, "La taille de l'écran est de 1280 pixels sur 1024");
        row("image1", QAccessible::StaticText, "Aperçu de l'image à demi-taille");
        row("Shape1", QAccessible::Client, "Contour de l'écran à demi-taille");
    }

    void screenReadersHearWhatEachControlShows()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, action);
        FrmVLB &w = make();
        w.load();
        const QStringList parts = control.split(QLatin1Char(' '));
        QWidget *c = parts.size() > 1
                         ? arrayElement(&w, parts[0].toLatin1().constData(), parts[1].toInt())
                         : w.findChild<QWidget *>(control);
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(c);
        QCOMPARE(int(heard->role()), role);
        const QString said = heard->text(QAccessible::Name);
        QCOMPARE(said, name.isEmpty() ? child<QComboBox>(&w, "Drive1")->currentText() : name);
        QVERIFY2(!said.contains(QLatin1Char('&')), "a mnemonic is not read");
        // The info line is also read as text, which its change events need.
        if (role == QAccessible::StatusBar) {
            QAccessibleTextInterface *text = heard->textInterface();
            QVERIFY(text);
            QCOMPARE(text->text(0, text->characterCount()), said);
        }
        if (!action.isEmpty())
            QVERIFY(heard->actionInterface()->actionNames().contains(action));
        // A list, a box or a button says what it is for.
        if (c->focusPolicy() & Qt::TabFocus)
            QVERIFY(!heard->text(QAccessible::Description).isEmpty() ||
                    qobject_cast<QRadioButton *>(c));
    }

    // The popups the mouse opens, opened by keys and by the menu button's
    // accessibility action, with their first item ready for Enter.
    void popupsOpenWithoutTheMouse_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key"); // 0: the accessibility action
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+Down") << "Text1" << int(Qt::Key_Down) << int(Qt::AltModifier)
                                  << "Mnu_Voir";
        QTest::newRow("F4") << "Text1" << int(Qt::Key_F4) << 0 << "Mnu_Voir";
        QTest::newRow("Menu, folders") << "Dir1" << int(Qt::Key_Menu) << 0 << "Mnu_ConvDossier";
        QTest::newRow("Shift+F10, files")
            << "File1" << int(Qt::Key_F10) << int(Qt::ShiftModifier) << "Mnu_ConvFichier";
        QTest::newRow("menu button") << "Label3" << 0 << 0 << "Mnu_Voir";
    }

    void popupsOpenWithoutTheMouse()
    {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        FrmVLB &w = make();
        w.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *c = w.findChild<QWidget *>(control);
        if (key)
            QTest::keyClick(c, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        else
            QAccessible::queryAccessibleInterface(c)->actionInterface()->doAction(
                QAccessibleActionInterface::showMenuAction());
        auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), menu);
        if (key)
            QCOMPARE(popup->activeAction(), popup->actions().constFirst());
        popup->close();
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

    // Every way of choosing an option acts as a click: a handler tied to
    // clicks misses the accessibility action and checks made in code.
    void everyWayOfChoosingActsAsAClick_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("mouse") << "mouse";
        QTest::newRow("Space") << "Space";
        QTest::newRow("arrow keys") << "arrow";
        QTest::newRow("accessibility action") << "Toggle";
    }

    void everyWayOfChoosingActsAsAClick()
    {
        QFETCH(QString, way);
        FrmVLB &w = make();
        w.load();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto choose = [&](QRadioButton *from, QRadioButton *to) {
            if (way == QLatin1String("mouse")) {
                QTest::mouseClick(to, Qt::LeftButton);
            } else if (way == QLatin1String("Space")) {
                to->setFocus();
                QTest::keyClick(to, Qt::Key_Space);
            } else if (way == QLatin1String("arrow")) {
                from->setFocus();
                QTest::keyClick(from, to->y() > from->y() ? Qt::Key_Down : Qt::Key_Up);
            } else {
                QAccessible::queryAccessibleInterface(to)->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
            }
            QVERIFY(to->isChecked());
        };
        auto *timer = child<QTimer>(&w, "Timer1");
        timer->start(1000);
        // The button just above the rotation's, so that an arrow reaches it.
        choose(arrayElement(&w, "Option1", 2), arrayElement(&w, "Option1", 1));
        QVERIFY(!timer->isActive());
        for (const char *name : {"Label2", "Text2", "FrameUnites"})
            QVERIFY(!child<QWidget>(&w, name)->isEnabled());
        choose(arrayElement(&w, "Option1", 1), arrayElement(&w, "Option1", 2));
        for (const char *name : {"Label2", "Text2", "FrameUnites"})
            QVERIFY(child<QWidget>(&w, name)->isEnabled());
        auto *text2 = child<QLineEdit>(&w, "Text2");
        QCOMPARE(text2->text(), QStringLiteral("5"));
        // A unit validates the count against its own bounds.
        text2->setText(QStringLiteral("30"));
        choose(arrayElement(&w, "OptUnites", 1), arrayElement(&w, "OptUnites", 2));
        QCOMPARE(text2->text(), QStringLiteral("23"));
        QCOMPARE(*w.intervalleRotation(), 23.0 / 24);
    }
};

QTEST_MAIN(TestFrmVLB)
#include "tst_frmvlb.moc"
