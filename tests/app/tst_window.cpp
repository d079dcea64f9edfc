// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the About dialog as their users meet them, with every
// service faked: the wallpaper (nothing real can be set offscreen; the
// backends have their own tests against real desktops), the tray, the
// clock, the draws, the settings store, the questions and the browser.
#include "about/frmabout.h"
#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "browser/core/preview.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "tests/common/fakecontext.h"
#include "tests/common/testpictures.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace velumbra;

namespace {

// "Drive1", or "Option1 2" for the third button of an array.
QWidget *control(QWidget *top, const QString &which)
{
    const QString index = which.section(u' ', 1);
    for (QWidget *w : top->findChildren<QWidget *>(which.section(u' ', 0, 0)))
        if (index.isEmpty() || w->property("index").toString() == index)
            return w;
    qFatal("no control %s", qPrintable(which));
}

template <typename T = QWidget> T *get(QWidget *top, const char *which)
{
    return qobject_cast<T *>(control(top, QString::fromLatin1(which)));
}

// Whether what the control shows fits inside it, measured with its font.
bool captionFits(QWidget *c)
{
    const auto fits = [c](const QString &text, QSize room, int flags = 0) {
        const QSize r =
            c->fontMetrics().boundingRect({{}, room}, flags | Qt::TextShowMnemonic, text).size();
        return r.boundedTo(room) == r;
    };
    const QSize edges(8, 2); // a frame's or a text box's
    const int mark = c->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     c->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    if (auto *r = qobject_cast<QRadioButton *>(c))
        return fits(r->text(), r->size() - QSize(mark, 0), Qt::TextWordWrap);
    if (auto *b = qobject_cast<QPushButton *>(c))
        return fits(b->text(), b->size() - edges);
    if (auto *g = qobject_cast<QGroupBox *>(c))
        return fits(g->title(), g->size() - 2 * edges);
    if (auto *e = qobject_cast<QLineEdit *>(c))
        return fits(e->text(), e->size() - edges);
    auto *l = qobject_cast<QLabel *>(c);
    if (!l || l->wordWrap())
        return !l || fits(l->text(), l->contentsRect().size(), Qt::TextWordWrap);
    // On one line a label needs room for its ink only (the menu button's symbol).
    const QSize ink = l->fontMetrics().tightBoundingRect(l->text()).size();
    return ink.boundedTo(l->contentsRect().size()) == ink;
}

// Where a control paints: a label its text, an option button its mark and
// caption; anything else its whole rectangle.
QRect painted(QWidget *c)
{
    if (auto *l = qobject_cast<QLabel *>(c))
        return l->fontMetrics()
                   .boundingRect(l->contentsRect(), int(l->alignment()) | Qt::TextWordWrap,
                                 l->text())
                   .translated(l->pos()) &
               l->geometry();
    auto *b = qobject_cast<QRadioButton *>(c);
    if (!b)
        return c->geometry();
    const int height = std::max(b->fontMetrics().height(),
                                b->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight));
    return QStyle::alignedRect(b->layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter,
                               QSize(b->sizeHint().width(), height).boundedTo(b->size()),
                               b->geometry());
}

QWidgetList visibleAboutDialogs()
{
    QWidgetList all = QApplication::topLevelWidgets();
    all.removeIf([](QWidget *w) { return w->objectName() != "frmAbout" || !w->isVisible(); });
    return all;
}

void addWays(std::initializer_list<const char *> ways)
{
    QTest::addColumn<QString>("way");
    for (const char *way : ways)
        QTest::newRow(way) << QString::fromLatin1(way);
}

using Sets = std::vector<std::pair<std::string, WallpaperLifetime>>;

} // namespace

// Rows of the tables below.
// clang-format off
struct Heard { const char *control; QAccessible::Role role; QString name, action; };
struct Popup { const char *control; int key; Qt::KeyboardModifiers modifiers; const char *menu; };
struct Ok { int mode, how; bool current; const char *refusal; };
struct Start { Answer answer; Qt::MouseButton button; bool tray; int place; };
// folder empty: the test's pictures; saved and expected: "option time unites";
// selected: checked when not empty.
struct Restore { QString folder; const char *file, *saved, *expected, *selected = "";
                 bool marker = true, screen = true; };
// clang-format on
Q_DECLARE_METATYPE(Heard)
Q_DECLARE_METATYPE(Popup)
Q_DECLARE_METATYPE(Ok)
Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(Restore)

class TestWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir; // b.png 801 x 601, c.png 40 x 20, d.png not a picture, LISEZMOI, tube
    QString m_path;
    std::unique_ptr<FakeContext> m_fake;
    std::unique_ptr<FrmVLB> m_window;

    // Saves a last session: the folder, the file, then "option time unites".
    void save(const QString &folder, const QString &file, const QString &choice,
              std::string_view marker = kSettingsMarker)
    {
        const QStringList c = choice.split(QLatin1Char(' '));
        m_fake->settings.values = {
            {"Init/AUTEUR", std::string(marker)},  {"Init/Drive", "/"},
            {"Init/Folder", folder.toStdString()}, {"Init/Pattern", "*.png"},
            {"Init/FileName", file.toStdString()}, {"Init/Option", c[0].toStdString()},
            {"Init/Time", c[1].toStdString()},     {"Init/Unites", c[2].toStdString()}};
    }

    // The window, loaded and shown; on the test's pictures in mode @p option
    // (90 seconds) unless it is negative.
    FrmVLB &open(int option = -1, const QString &file = {})
    {
        if (option >= 0)
            save(m_path, file, QString::number(option) + QStringLiteral(" 90 0"));
        m_window = std::make_unique<FrmVLB>(m_fake->context());
        m_window->load();
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("window not exposed");
        return *m_window;
    }

    template <typename T = QWidget> T *w(const char *which)
    {
        return get<T>(m_window.get(), which);
    }
    QRadioButton *option(int index)
    {
        return qobject_cast<QRadioButton *>(
            control(m_window.get(), QStringLiteral("Option1 %1").arg(index)));
    }
    FileList *file1() { return w<FileList>("File1"); }
    QLabel *image1() { return w<QLabel>("image1"); }
    QTimer *timer() { return m_window->findChild<QTimer *>(QStringLiteral("Timer1")); }
    void tick() { QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection); }
    QString picture(const char *name) { return m_path + u'/' + QString::fromUtf8(name); }
    const std::vector<FakePrompter::Shown> &shown() { return m_fake->prompter.shown; }
    Sets sets()
    {
        Sets all;
        for (const FakeWallpaperSetter::Set &set : m_fake->wallpaper.sets)
            all.emplace_back(set.path, set.lifetime);
        return all;
    }
    // What the window shows chosen, as "option time unites".
    QString choice()
    {
        return QStringLiteral("%1 %2 %3")
            .arg(option(0)->group()->checkedId())
            .arg(w<QLineEdit>("Text2")->text())
            .arg(w<QRadioButton>("OptUnites 0")->group()->checkedId());
    }

    void clickEntry(int row)
    {
        const QRect r = file1()->visualRect(file1()->model()->index(row, 0));
        QTest::mouseClick(file1()->viewport(), Qt::LeftButton, {}, r.center());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.path();
        QVERIFY(test::writeFile(picture("b.png"), test::encoded(test::gradient(801, 601), "png")));
        QVERIFY(test::writeFile(picture("c.png"), test::encoded(test::gradient(40, 20), "png")));
        QVERIFY(test::writeFile(picture("d.png"), "pas une image"));
        QVERIFY(test::writeFile(picture("LISEZMOI"), "lisez-moi"));
        QCOMPARE(::mkfifo(QFile::encodeName(picture("tube")), 0600), 0);
    }

    void init()
    {
        m_fake = std::make_unique<FakeContext>();
        m_fake->clock.days = 45000.5; // noon
        m_fake->random.draws = {0.9, 0.1, 0.5};
    }
    void cleanup() { m_window.reset(); }

    // Every control of the main window inside its parent, no two painting over
    // each other unless one is nested in the other, every caption fitting, and
    // the tab chain.
    void layout()
    {
        const QString chain = "Drive1,Dir1,Text1,File1,Option1 0,Option1 2,Text2,OptUnites 0,"
                              "OptUnites 1,OptUnites 2,Command1,Command2,Option1 1";
        // The preview and the screen's outline are drawn over each other and clipped.
        const QStringList drawnOver{"image1", "Shape1"};
        QWidget *top = open().centralWidget();
        QWidgetList controls = top->findChildren<QWidget *>();
        controls.removeIf([&](QWidget *c) {
            return c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_")) ||
                   !c->isVisibleTo(top) || drawnOver.contains(c->objectName());
        });
        for (QWidget *c : std::as_const(controls)) {
            const QByteArray name = c->objectName().toUtf8();
            QVERIFY2(c->parentWidget()->rect().contains(c->geometry()), name);
            QVERIFY2(captionFits(c), name);
            for (QWidget *d : std::as_const(controls))
                QVERIFY2(c == d || c->parentWidget() != d->parentWidget() ||
                             !painted(c).intersects(painted(d)),
                         name + " over " + d->objectName().toUtf8());
        }
        const QStringList order = chain.split(QLatin1Char(','));
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget *next = control(top, order[i])->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisibleTo(top))
                next = next->nextInFocusChain();
            QCOMPARE(next, control(top, order[i + 1]));
        }
    }

    // What a screen reader hears, in the tab chain's order and then the rest.
    // An empty name is the drive shown, which depends on where the test runs.
    void screenReadersHearWhatEachControlShows_data()
    {
        QTest::addColumn<Heard>("r");
        const auto row = [](const char *control, QAccessible::Role role, const char *name,
                            const QString &action = {}) {
            QTest::newRow(control) << Heard{control, role, QString::fromUtf8(name), action};
        };
        const QString toggle = QAccessibleActionInterface::toggleAction();
        const QString press = QAccessibleActionInterface::pressAction();
        const QString menu = QAccessibleActionInterface::showMenuAction();
        row("Drive1", QAccessible::ComboBox, "", menu);
        row("Dir1", QAccessible::List, "Dossiers");
        row("Text1", QAccessible::EditableText, "Filtre des fichiers");
        row("File1", QAccessible::List, "Fichiers");
        row("Option1 0", QAccessible::RadioButton, "Définir temporairement", toggle);
        row("Option1 2", QAccessible::RadioButton, "Choix aléatoire dans ce dossier", toggle);
        row("Text2", QAccessible::EditableText, "Intervalle de rotation");
        row("OptUnites 0", QAccessible::RadioButton, "Seconde(s)", toggle);
        row("OptUnites 1", QAccessible::RadioButton, "Minute(s)", toggle);
        row("OptUnites 2", QAccessible::RadioButton, "Heure(s)", toggle);
        row("Command1", QAccessible::Button, "OK", press);
        row("Command2", QAccessible::Button, "Fermer", press);
        row("Option1 1", QAccessible::RadioButton, "Définir par défaut", toggle);
        row("Frame1", QAccessible::Grouping, "Votre choix :");
        row("FrameUnites", QAccessible::Grouping, "Unités");
        row("Label2", QAccessible::StaticText, "Toutes les");
        row("Label3", QAccessible::ButtonMenu, "Filtres prédéfinis", menu);
        row("Label1", QAccessible::StatusBar, "La taille de l'écran est de 1280 pixels sur 1024");
        row("image1", QAccessible::StaticText, "Aperçu de l'image à demi-taille");
        row("Shape1", QAccessible::Client, "Contour de l'écran à demi-taille");
        // The About dialog's labels are heard as they show.
        row("lblTitle", QAccessible::StaticText, "Velumbra");
        row("lblVersion", QAccessible::StaticText, "Version 2.1.0");
        row("urlhttp", QAccessible::StaticText, "https://auteur.example/");
        row("cmdSysInfo", QAccessible::Button, "Infos système...", press);
        row("picIcon", QAccessible::Graphic, "Icône de Velumbra");
    }

    void screenReadersHearWhatEachControlShows()
    {
        QFETCH(Heard, r);
        const auto &[control, role, name, action] = r;
        frmAbout dialog(m_fake->about, m_fake->prompter);
        const bool inAbout =
            dialog.findChild<QWidget *>(QString::fromLatin1(control).section(u' ', 0, 0));
        QWidget *c = ::control(inAbout ? static_cast<QWidget *>(&dialog) : &open(),
                               QString::fromLatin1(control));
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(c);
        QCOMPARE(heard->role(), role);
        const QString said = heard->text(QAccessible::Name);
        QCOMPARE(said, name.isEmpty() ? w<QComboBox>("Drive1")->currentText() : name);
        if (role == QAccessible::StaticText && !qobject_cast<QLabel *>(c)->text().isEmpty())
            QCOMPARE(said, qobject_cast<QLabel *>(c)->text()); // a name would hide the text
        // The info line is also read as text, which its change events need.
        if (QAccessibleTextInterface *text = heard->textInterface(); role == QAccessible::StatusBar)
            QCOMPARE(text->text(0, text->characterCount()), said);
        if (!action.isEmpty())
            QVERIFY(heard->actionInterface()->actionNames().contains(action));
        // A list, a box or a button of the main window says what it is for.
        if (!inAbout && (c->focusPolicy() & Qt::TabFocus) && !qobject_cast<QRadioButton *>(c))
            QVERIFY(!heard->text(QAccessible::Description).isEmpty());
    }

    // The popups the mouse opens, opened by keys and by the menu button's
    // accessibility action, with their first item ready for Enter.
    void popupsOpenWithoutTheMouse_data()
    {
        QTest::addColumn<Popup>("r"); // key 0: the accessibility action
        QTest::newRow("Alt+Down") << Popup{"Text1", Qt::Key_Down, Qt::AltModifier, "Mnu_Voir"};
        QTest::newRow("F4") << Popup{"Text1", Qt::Key_F4, {}, "Mnu_Voir"};
        QTest::newRow("Menu") << Popup{"Dir1", Qt::Key_Menu, {}, "Mnu_ConvDossier"};
        QTest::newRow("Shift+F10")
            << Popup{"File1", Qt::Key_F10, Qt::ShiftModifier, "Mnu_ConvFichier"};
        QTest::newRow("menu button") << Popup{"Label3", 0, {}, "Mnu_Voir"};
    }

    void popupsOpenWithoutTheMouse()
    {
        QFETCH(Popup, r);
        const auto &[control, key, modifiers, menu] = r;
        QWidget *c = ::control(&open(), QString::fromLatin1(control));
        if (key)
            QTest::keyClick(c, Qt::Key(key), modifiers);
        else
            QAccessible::queryAccessibleInterface(c)->actionInterface()->doAction(
                QAccessibleActionInterface::showMenuAction());
        auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QString::fromLatin1(menu));
        if (!key) {
            popup->close();
            return;
        }
        // Enter chooses the first item: a preset, or a conversion that asks first.
        QCOMPARE(popup->activeAction(), popup->actions().constFirst());
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!shown().empty() || file1()->pattern() != QLatin1String("*.bmp;*.rle"));
    }

    // What the last session saved comes back, checked the way the window's
    // own controls check it; what is gone or would hang is skipped quietly.
    // Any start measures the screen, and seeds the draws once.
    void restores_data()
    {
        QTest::addColumn<Restore>("r");
        const auto row = [](const char *name, Restore r) { QTest::newRow(name) << r; };
        row("rotation in hours", {{}, "c.png", "2 30 2", "2 23 2", "c.png"});
        row("temporary in seconds", {{}, "b.png", "0 7 0", "0 7 0", "b.png"});
        row("out of range keeps the start choice", {{}, "", "7 9 -3", "2 9 1"});
        row("marker differs, no screen", {{}, "c.png", "0 7 0", "2 5 1", "", false, false});
        // Listed only by the restored pattern, which comes after the name.
        row("a name without a dot", {{}, "LISEZMOI", "1 4 0", "1 4 0", "LISEZMOI"});
        row("folder gone", {QStringLiteral("/velumbra/absent"), "c.png", "1 4 0", "1 4 0"});
        row("a pipe as the folder", {m_dir.filePath(QStringLiteral("tube")), "", "1 4 0", "1 4 0"});
        row("a pipe as the file", {{}, "tube", "1 4 0", "1 4 0"});
        // As root, reading /proc/kmsg waits for the next kernel message.
        row("/proc", {QStringLiteral("/proc"), "kmsg", "1 4 0", "1 4 0"});
        row("/dev", {QStringLiteral("/dev"), "zero", "1 4 0", "1 4 0"});
    }

    void restores()
    {
        QFETCH(Restore, r);
        const QString folder = r.folder.isEmpty() ? m_path : r.folder;
        save(folder, QString::fromLatin1(r.file), QString::fromLatin1(r.saved),
             r.marker ? kSettingsMarker : "ardeval quennet");
        m_fake->settings.values["Init/Pattern"] = "*";
        m_fake->settings.values["Init/Drive"] = "Q:\\";
        m_fake->screen.size = r.screen ? std::optional(ScreenSize{2560, 1440}) : std::nullopt;
        FrmVLB &window = open();
        // The lists stay where they start, in the current folder, unless restored.
        const QString opened = r.marker && QFileInfo(folder).isDir() ? folder : QDir::currentPath();
        QCOMPARE(std::tuple(w<FolderList>("Dir1")->path(), file1()->path(), file1()->pattern(),
                            choice(), *r.selected ? file1()->fileName() : QString()),
                 std::tuple(opened, opened, QString::fromLatin1(r.marker ? "*" : "*.bmp;*.rle"),
                            QString::fromLatin1(r.expected), QString::fromLatin1(r.selected)));
        // The restored mode enables the interval controls only for the rotation.
        QCOMPARE(w("Text2")->isEnabled(), r.expected[0] == '2');
        const QSize screen = r.screen ? QSize(2560, 1440) : QSize(0, 0);
        QCOMPARE(w<QLabel>("Label1")->text(),
                 QStringLiteral("La taille de l'écran est de %1 pixels sur %2")
                     .arg(screen.width())
                     .arg(screen.height()));
        QCOMPARE(w("Shape1")->geometry(), QRect(image1()->pos(), screen / 2));
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Velumbra °VLB°    Choix du papier-paint ..."));
        // Selected, not current yet; the tray icon from the start, before any
        // rotation; the draws seeded once, from the seconds since midnight.
        QVERIFY(window.fichierPapierPeint().isEmpty() && !timer()->isActive());
        QVERIFY(m_fake->tray.visible && shown().empty());
        QCOMPARE(std::pair(m_fake->random.lastSeed, m_fake->random.seedCount),
                 std::pair(43200u, 1));
    }

    // Every way out saves; "refused": the settings file cannot be written.
    void everyWayOutSavesTheSameEightKeys_data()
    {
        addWays({"Fermer", "Escape", "close box", "Quitter", "refused"});
    }

    void everyWayOutSavesTheSameEightKeys()
    {
        QFETCH(QString, way);
        const bool refused = way == QLatin1String("refused");
        save(m_path, QStringLiteral("c.png"), QStringLiteral("2  2"));
        if (refused)
            m_fake->settings.failWith = settingsNotSaved("/home/u/Velumbra.conf", "disque plein");
        FrmVLB &window = open();
        const auto saved = m_fake->settings.values;
        if (way == QLatin1String("Fermer"))
            w<QPushButton>("Command2")->click();
        else if (way == QLatin1String("Escape"))
            QTest::keyClick(option(2), Qt::Key_Escape);
        else if (way == QLatin1String("Quitter"))
            window.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger();
        else
            window.close();
        QCOMPARE(std::pair(window.isVisible(), window.exitCode()), std::pair(false, int(refused)));
        // Told, in the words of the store.
        QVERIFY(refused ? shown().size() == 1 && shown()[0].text.contains(QStringLiteral(
                                                     "« /home/u/Velumbra.conf » : disque plein"))
                        : shown().empty());
        // What was restored goes back, marker first, the count as validated.
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(refused ? 0 : 8));
        for (const auto &[key, value] : m_fake->settings.committed)
            QCOMPARE(value, key == "Init/Time" ? "1" : saved.at(key));
        if (!refused)
            QCOMPARE(m_fake->settings.committed[0].first, "Init/AUTEUR");
    }

    // Every way of choosing an option acts as a click: a handler tied to
    // clicks misses the accessibility action and checks made in code.
    void everyWayOfChoosingActsAsAClick_data() { addWays({"mouse", "Space", "arrow", "Toggle"}); }

    void everyWayOfChoosingActsAsAClick()
    {
        QFETCH(QString, way);
        FrmVLB &window = open();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto choose = [&](QRadioButton *from, QRadioButton *to) {
            QRadioButton *focused = way == QLatin1String("arrow") ? from : to;
            focused->setFocus();
            if (way == QLatin1String("mouse"))
                QTest::mouseClick(to, Qt::LeftButton);
            else if (way == QLatin1String("Toggle"))
                QAccessible::queryAccessibleInterface(to)->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
            else
                QTest::keyClick(focused, way == QLatin1String("Space") ? Qt::Key_Space
                                         : to->y() > from->y()         ? Qt::Key_Down
                                                                       : Qt::Key_Up);
            QVERIFY(to->isChecked());
        };
        timer()->start(1000);
        // The button just above the rotation's, so that an arrow reaches it.
        choose(option(2), option(1));
        QVERIFY(!timer()->isActive());
        const auto enabled = [this] {
            return QList{w("Label2")->isEnabled(), w("Text2")->isEnabled(),
                         w("FrameUnites")->isEnabled()};
        };
        QCOMPARE(enabled(), QList({false, false, false}));
        choose(option(1), option(2));
        QCOMPARE(enabled(), QList({true, true, true}));
        // A unit validates the count against its own bounds.
        w<QLineEdit>("Text2")->setText(QStringLiteral("30"));
        choose(w<QRadioButton>("OptUnites 1"), w<QRadioButton>("OptUnites 2"));
        QCOMPARE(choice(), QStringLiteral("2 23 2"));
        QCOMPARE(*window.intervalleRotation(), 23.0 / 24);
    }

    // The first two modes set the current file once, for their lifetime, then
    // save and quit; OK answers every mouse button, and Enter.
    void okSetsAndQuits_data()
    {
        QTest::addColumn<Ok>("r"); // how: a mouse button, or 0 for Enter
        QTest::newRow("temporary, click") << Ok{0, Qt::LeftButton, true, ""};
        QTest::newRow("temporary, Enter") << Ok{0, 0, true, ""};
        QTest::newRow("for good, right button") << Ok{1, Qt::RightButton, true, ""};
        QTest::newRow("for good, middle button") << Ok{1, Qt::MiddleButton, true, ""};
        QTest::newRow("refused") << Ok{1, Qt::LeftButton, true, "Fichier introuvable."};
        // The saved file is selected again at start, but is not current yet.
        QTest::newRow("no current file") << Ok{1, Qt::LeftButton, false, ""};
    }

    void okSetsAndQuits()
    {
        QFETCH(Ok, r);
        const auto &[mode, how, current, refusal] = r;
        if (*refusal)
            m_fake->wallpaper.nextResult = Failure{refusal};
        FrmVLB &window = open(mode, QStringLiteral("c.png"));
        if (current)
            clickEntry(1);
        QCOMPARE(window.fichierPapierPeint(), current ? picture("c.png") : QString());
        if (how)
            QTest::mouseClick(w("Command1"), Qt::MouseButton(how));
        else
            QTest::keyClick(option(mode), Qt::Key_Return);
        const auto lifetime = mode ? WallpaperLifetime::ForGood : WallpaperLifetime::UntilLogoff;
        QCOMPARE(sets(), (current ? Sets{{picture("c.png").toStdString(), lifetime}} : Sets{}));
        QVERIFY(!window.isVisible());
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
        QVERIFY(*refusal ? shown().size() == 1 &&
                               shown()[0].text == "Le papier peint n'a pas pu être changé : " +
                                                      QString::fromUtf8(refusal)
                         : shown().empty());
    }

    // OK in the rotation asks about the screen saver, changes the picture at
    // once and puts the window where the button and the tray allow.
    void rotationStarts_data()
    {
        QTest::addColumn<Start>("r"); // place: 0 hidden, 1 minimised, 2 on the screen
        const auto left = Qt::LeftButton;
        QTest::newRow("No") << Start{Answer::No, left, true, 0};
        QTest::newRow("Yes") << Start{Answer::Yes, left, true, 0};
        QTest::newRow("right button") << Start{Answer::No, Qt::RightButton, true, 2};
        QTest::newRow("no notification area") << Start{Answer::No, left, false, 1};
        QTest::newRow("Cancel") << Start{Answer::Cancel, left, true, 2};
    }

    void rotationStarts()
    {
        QFETCH(Start, r);
        const auto &[answer, button, tray, place] = r;
        FrmVLB &window = open(2);
        m_fake->tray.available = tray;
        m_fake->prompter.answers = {answer, answer};
        QTest::mouseClick(w("Command1"), button);
        QCOMPARE(shown().size(), std::size_t(1)); // Cancel asks only once
        QCOMPARE(std::tuple(shown()[0].title, shown()[0].text, shown()[0].buttons),
                 std::tuple(QStringLiteral("°VLB° Tapisol, par Ardeval"),
                            QStringLiteral("Voulez-vous désactiver l'éventuel «Screen Saver»"),
                            AnswerButtons::YesNoCancel));
        QCOMPARE(m_fake->wallpaper.screenSaverCalls, int(answer == Answer::Yes));
        QCOMPARE(window.isVisible(), place != 0);
        QVERIFY(!place || window.isMinimized() == (place == 1)); // the tray counts as minimised
        const bool started = answer != Answer::Cancel;
        QCOMPARE(timer()->isActive(), started);
        // The first change at once, with the first draw, 0.9 of three files.
        QCOMPARE(sets(),
                 (started ? Sets{{picture("d.png").toStdString(), WallpaperLifetime::UntilLogoff}}
                          : Sets{}));
        if (!started)
            return;
        QCOMPARE(m_fake->tray.visible, button == Qt::LeftButton);
        QCOMPARE(w<QLineEdit>("Text2")->text(), QStringLiteral("59")); // validated first
        QCOMPARE(window.windowTitle(), QString::fromUtf8(kCaptionPrefix) + picture("d.png"));
        QCOMPARE(m_fake->tray.tip, window.windowTitle());
    }

    void rotationRunsUntilQuit()
    {
        FrmVLB &window = open(2);
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(w("Command1"), Qt::LeftButton); // 59 seconds
        m_fake->clock.advanceSeconds(58);
        tick();
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(1));
        m_fake->clock.days = window.rotation().nextChange();
        tick();
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(2));
        // The notification area goes away: the window comes back to the task bar.
        m_fake->tray.available = false;
        tick();
        QVERIFY(window.isVisible() && window.isMinimized());
        window.findChild<QAction *>(QStringLiteral("mnu_afficher"))->trigger();
        QVERIFY(window.isVisible() && !window.isMinimized() && timer()->isActive());
        window.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger();
        QVERIFY(!timer()->isActive());
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
    }

    // A click shows the picture at half size, in the screen's device pixels
    // (this test also runs at QT_SCALE_FACTOR=2), and says what it is.
    void preview_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QSize>("size"); // empty: not a picture
        QTest::newRow("801 x 601") << 0 << QSize(801, 601);
        QTest::newRow("40 x 20") << 1 << QSize(40, 20);
        QTest::newRow("not a picture") << 2 << QSize();
    }

    void preview()
    {
        QFETCH(int, row);
        QFETCH(QSize, size);
        open(0);
        clickEntry(row);
        const QString file = picture(qPrintable(file1()->entry(row)));
        QCOMPARE(m_window->fichierPapierPeint(), file);
        const QString info = QStringLiteral(" (%1 x %2 pixels pour un écran de 1280 x 1024)");
        QCOMPARE(w<QLabel>("Label1")->text(),
                 file + (size.isEmpty() ? QString() : info.arg(size.width()).arg(size.height())));
        QVERIFY(image1()->isVisible() && shown().empty());
        QCOMPARE(image1()->pixmap().isNull(), size.isEmpty());
        const PixelSize half = previewPixels({size.width(), size.height()});
        const PixelSize device =
            decodeSize({size.width(), size.height()}, m_window->devicePixelRatioF());
        if (!size.isEmpty()) {
            QCOMPARE(image1()->size(), QSize(half.width, half.height));
            QCOMPARE(image1()->pixmap().size(), QSize(device.width, device.height));
        }
    }

    // From the help menu, one ownerless, modeless About dialog at a time,
    // gone with the window: a fixed tool window off the task bar; its link
    // answers the left button only; system information starts what it finds,
    // or says nothing was found; Enter closes it, and the menu loads it afresh.
    void aboutDialog()
    {
        QPointer<QWidget> last;
        {
            FrmVLB window(m_fake->context());
            window.show();
            QAction *apropos = window.findChild<QAction *>(QStringLiteral("Mnu_Apropos"));
            apropos->trigger();
            apropos->trigger();
            QCOMPARE(visibleAboutDialogs().size(), 1);
            QPointer<QWidget> dialog = visibleAboutDialogs()[0];
            QVERIFY(!dialog->parentWidget() && !dialog->isModal());
            QCOMPARE(dialog->windowTitle(), QStringLiteral("À propos de Velumbra"));
            QApplication::setActiveWindow(dialog);
            auto *link = get<QLabel>(dialog, "urlhttp");
            QTest::mouseClick(link, Qt::LeftButton);
            QTest::mouseClick(get(dialog, "cmdSysInfo"), Qt::LeftButton);
            m_fake->about.programs = {{"/usr/bin/hardinfo"}, {}};
            m_fake->files.files = m_fake->processes.startable = {"/usr/bin/hardinfo"};
            QTest::mouseClick(get(dialog, "cmdSysInfo"), Qt::LeftButton);
            QCOMPARE(m_fake->processes.started.size(), std::size_t(1));
            QCOMPARE(shown().size(), std::size_t(1));
            QCOMPARE(
                shown()[0].text,
                QStringLiteral("Les informations système ne sont pas disponibles actuellement"));
            QTest::keyClick(dialog, Qt::Key_Return);
            QTRY_VERIFY(dialog.isNull());
            apropos->trigger();
            QCOMPARE(visibleAboutDialogs().size(), 1);
            last = visibleAboutDialogs()[0];
            window.findChild<QAction *>(QStringLiteral("Mnu_Aide"))->trigger();
            QCOMPARE(m_fake->web.opened,
                     (std::vector<std::string>{"https://auteur.example/", "/aide/velumbra.html"}));
        }
        QVERIFY(last.isNull());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
