// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the About dialog as their users meet them, with every
// service faked: the wallpaper (nothing real can be set offscreen; the
// backends have their own tests against real desktops), the tray, the
// clock, the draws, the settings store, the questions and the browser.
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
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

} // namespace

// Rows of the tables below.
// clang-format off
// how: a mouse button, or 0 for Enter; place: 0 hidden, 1 minimised, 2 on the screen.
struct Ok { int mode, how; bool current; Answer answer; bool tray; const char *refusal; int place; };
// folder empty: the test's pictures; saved and expected: "option time unites";
// selected: checked when not empty; first: nothing saved and no screen.
struct Restore { QString folder; const char *file, *saved, *expected, *selected = ""; bool first = false; };
// clang-format on
Q_DECLARE_METATYPE(Ok)
Q_DECLARE_METATYPE(Restore)

class TestWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir; // b.png 801 x 601, c.png 40 x 20, d.png not a picture, LISEZMOI
    QString m_path;
    std::unique_ptr<FakeContext> m_fake;
    std::unique_ptr<FrmVLB> m_window;

    // Saves a last session: the folder, the file, then "option time unites".
    void save(const QString &folder, const QString &file, const QString &choice)
    {
        const QStringList values = QStringList{folder, file} + choice.split(QLatin1Char(' '));
        m_fake->settings.values = {{"Init/AUTEUR", std::string(kSettingsMarker)},
                                   {"Init/Drive", "/"},
                                   {"Init/Pattern", "*.png"}};
        for (int i = 0; const char *key : {"Folder", "FileName", "Option", "Time", "Unites"})
            m_fake->settings.values[std::string("Init/") + key] = values[i++].toStdString();
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

    template <typename T = QWidget> T *w(const QString &which)
    {
        return qobject_cast<T *>(control(m_window.get(), which));
    }
    QRadioButton *option(int index)
    {
        return w<QRadioButton>(QStringLiteral("Option1 %1").arg(index));
    }
    FileList *file1() { return w<FileList>("File1"); }
    QTimer *timer() { return m_window->findChild<QTimer *>(QStringLiteral("Timer1")); }
    void tick() { QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection); }
    QString picture(const char *name) { return m_path + u'/' + QString::fromUtf8(name); }
    const std::vector<FakePrompter::Shown> &shown() { return m_fake->prompter.shown; }
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

    // What a screen reader hears: each control named in the code, and one of
    // each kind that is heard by what it shows.
    void screenReadersHearWhatEachControlShows()
    {
        open();
        const QString drive = w<QComboBox>("Drive1")->currentText(); // where the test runs
        // clang-format off
        const std::tuple<const char *, QAccessible::Role, QString> heard[] = {
            {"Drive1", QAccessible::ComboBox, drive},
            {"Dir1", QAccessible::List, "Dossiers"},
            {"Text1", QAccessible::EditableText, "Filtre des fichiers"},
            {"File1", QAccessible::List, "Fichiers"},
            {"Option1 2", QAccessible::RadioButton, "Choix aléatoire dans ce dossier"},
            {"Text2", QAccessible::EditableText, "Intervalle de rotation"},
            {"Command1", QAccessible::Button, "OK"},
            {"Frame1", QAccessible::Grouping, "Votre choix :"},
            {"Label2", QAccessible::StaticText, "Toutes les"},
            {"Label3", QAccessible::ButtonMenu, "Filtres prédéfinis"},
            {"Label1", QAccessible::StatusBar, "La taille de l'écran est de 1280 pixels sur 1024"},
            {"image1", QAccessible::StaticText, "Aperçu de l'image à demi-taille"},
            {"Shape1", QAccessible::Client, "Contour de l'écran à demi-taille"}};
        // clang-format on
        for (const auto &[control, role, name] : heard) {
            QWidget *c = w(QString::fromLatin1(control));
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(c);
            const QString said = a->text(QAccessible::Name);
            QCOMPARE(std::pair(a->role(), said), std::pair(role, name));
            if (role == QAccessible::StaticText && !qobject_cast<QLabel *>(c)->text().isEmpty())
                QCOMPARE(said, qobject_cast<QLabel *>(c)->text()); // a name would hide the text
            // The info line is also read as text, which its change events need.
            if (QAccessibleTextInterface *t = a->textInterface(); role == QAccessible::StatusBar)
                QCOMPARE(t->text(0, t->characterCount()), said);
            // Qt gives the others their actions; the menu button's is the window's own.
            if (role == QAccessible::ButtonMenu)
                QVERIFY(a->actionInterface()->actionNames().contains(
                    QAccessibleActionInterface::showMenuAction()));
            // A list, a box or a button says what it is for.
            if ((c->focusPolicy() & Qt::TabFocus) && !qobject_cast<QRadioButton *>(c))
                QVERIFY2(!a->text(QAccessible::Description).isEmpty(), control);
        }
    }

    // Each popup the mouse opens, opened by keys, its first item ready for
    // Enter: a preset, or a conversion that asks first.
    void popupsOpenWithoutTheMouse()
    {
        m_fake->prompter.answers = {Answer::No, Answer::No};
        open();
        // clang-format off
        const std::tuple<const char *, int, Qt::KeyboardModifiers, const char *> popups[] = {
            {"Text1", Qt::Key_Down, Qt::AltModifier, "Mnu_Voir"},
            {"Dir1", Qt::Key_Menu, {}, "Mnu_ConvDossier"},
            {"File1", Qt::Key_F10, Qt::ShiftModifier, "Mnu_ConvFichier"}};
        // clang-format on
        for (const auto &[control, key, modifiers, menu] : popups) {
            QTest::keyClick(w(QString::fromLatin1(control)), Qt::Key(key), modifiers);
            auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY2(popup && popup->objectName() == QLatin1String(menu), menu);
            QCOMPARE(popup->activeAction(), popup->actions().constFirst());
            QTest::keyClick(popup, Qt::Key_Return);
            QVERIFY(!QApplication::activePopupWidget());
        }
        // The preset applied; each conversion asked first, and was refused.
        QCOMPARE(file1()->pattern(), QStringLiteral("*.jpg;*.jpeg"));
        QCOMPARE(shown().size(), std::size_t(2));
    }

    // What the last session saved comes back through the window's own
    // controls, the count validated; a folder gone is skipped quietly. Any
    // start measures the screen, and seeds the draws once.
    void restores_data()
    {
        QTest::addColumn<Restore>("r");
        // Listed only by the restored pattern, which comes after the name.
        QTest::newRow("rotation in hours")
            << Restore{{}, "LISEZMOI", "2 30 2", "2 23 2", "LISEZMOI"};
        QTest::newRow("folder gone")
            << Restore{QStringLiteral("/velumbra/absent"), "c.png", "1 4 0", "1 4 0"};
        QTest::newRow("first start, no screen") << Restore{{}, "", "", "2 5 1", "", true};
    }

    void restores()
    {
        QFETCH(Restore, r);
        const QString folder = r.folder.isEmpty() ? m_path : r.folder;
        if (!r.first) {
            save(folder, QString::fromLatin1(r.file), QString::fromLatin1(r.saved));
            m_fake->settings.values["Init/Pattern"] = "*";
        }
        m_fake->screen.size = r.first ? std::nullopt : std::optional(ScreenSize{2560, 1440});
        FrmVLB &window = open();
        // The lists stay where they start, in the current folder, unless restored.
        const QString opened = !r.first && QFileInfo(folder).isDir() ? folder : QDir::currentPath();
        QCOMPARE(std::tuple(w<FolderList>("Dir1")->path(), file1()->path(), file1()->pattern(),
                            choice(), *r.selected ? file1()->fileName() : QString()),
                 std::tuple(opened, opened, QString::fromLatin1(r.first ? "*.bmp;*.rle" : "*"),
                            QString::fromLatin1(r.expected), QString::fromLatin1(r.selected)));
        // The restored mode enables the interval controls only for the rotation.
        QCOMPARE(w("Text2")->isEnabled(), r.expected[0] == '2');
        const QSize screen = r.first ? QSize(0, 0) : QSize(2560, 1440);
        QCOMPARE(w<QLabel>("Label1")->text().toStdString(),
                 screenSizeLine(screen.width(), screen.height()));
        QCOMPARE(w("Shape1")->geometry(), QRect(w("image1")->pos(), screen / 2));
        // Selected, not current yet; the tray icon from the start, before any
        // rotation; the draws seeded once, from the seconds since midnight.
        QVERIFY(window.fichierPapierPeint().isEmpty() && !timer()->isActive());
        QVERIFY(m_fake->tray.visible && shown().empty());
        QCOMPARE(std::pair(m_fake->random.lastSeed, m_fake->random.seedCount),
                 std::pair(43200u, 1));
    }

    // Every way out saves what was restored, the count as validated;
    // "refused": the settings file cannot be written, and the user is told.
    void everyWayOutSaves_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"Fermer", "Escape", "close box", "Quitter", "refused"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    void everyWayOutSaves()
    {
        QFETCH(QString, way);
        const bool refused = way == QLatin1String("refused");
        save(m_path, QStringLiteral("c.png"), QStringLiteral("2  2"));
        if (refused)
            m_fake->settings.failWith = settingsNotSaved("/home/u/Velumbra.conf", "disque plein");
        FrmVLB &window = open();
        auto saved = m_fake->settings.values;
        saved["Init/Time"] = "1";
        if (way == QLatin1String("Fermer"))
            w<QPushButton>("Command2")->click();
        else if (way == QLatin1String("Escape"))
            QTest::keyClick(option(2), Qt::Key_Escape);
        else if (way == QLatin1String("Quitter"))
            window.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger();
        else
            window.close();
        QCOMPARE(std::pair(window.isVisible(), window.exitCode()), std::pair(false, int(refused)));
        QCOMPARE(shown().size() == 1 && shown()[0].text.contains(QStringLiteral("disque plein")),
                 refused);
        const auto &committed = m_fake->settings.committed;
        QCOMPARE(std::map(committed.begin(), committed.end()), refused ? decltype(saved){} : saved);
    }

    // Choosing an option through its accessibility action acts as a click: a
    // handler tied to clicks misses it, and checks made in code.
    void choosingByTheAccessibilityActionActsAsAClick()
    {
        FrmVLB &window = open();
        const auto choose = [](QRadioButton *button) {
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
            QVERIFY(button->isChecked());
        };
        timer()->start(1000);
        choose(option(1));
        QVERIFY(!timer()->isActive());
        const auto enabled = [this] {
            return QList{w("Label2")->isEnabled(), w("Text2")->isEnabled(),
                         w("FrameUnites")->isEnabled()};
        };
        QCOMPARE(enabled(), QList({false, false, false}));
        choose(option(2));
        QCOMPARE(enabled(), QList({true, true, true}));
        // A unit validates the count against its own bounds.
        w<QLineEdit>("Text2")->setText(QStringLiteral("30"));
        choose(w<QRadioButton>("OptUnites 2"));
        QCOMPARE(choice(), QStringLiteral("2 23 2"));
        QCOMPARE(*window.intervalleRotation(), 23.0 / 24);
    }

    // OK in the first two modes sets the current file for their lifetime,
    // then saves and quits; in the rotation it asks about the screen saver,
    // changes the picture at once and puts the window where the button and
    // the tray allow. OK answers every mouse button, and Enter.
    void okDoesWhatTheModeSays_data()
    {
        QTest::addColumn<Ok>("r");
        const auto left = Qt::LeftButton;
        QTest::newRow("temporary, click") << Ok{0, left, true, Answer::No, true, "", 0};
        QTest::newRow("temporary, Enter") << Ok{0, 0, true, Answer::No, true, "", 0};
        QTest::newRow("for good, refused")
            << Ok{1, left, true, Answer::No, true, "Fichier introuvable.", 0};
        // The saved file is selected again at start, but is not current yet.
        QTest::newRow("no current file") << Ok{1, left, false, Answer::No, true, "", 0};
        QTest::newRow("rotation, Yes, right button")
            << Ok{2, Qt::RightButton, false, Answer::Yes, true, "", 2};
        QTest::newRow("rotation, no notification area")
            << Ok{2, left, false, Answer::No, false, "", 1};
        QTest::newRow("rotation, Cancel") << Ok{2, left, false, Answer::Cancel, true, "", 2};
    }

    void okDoesWhatTheModeSays()
    {
        QFETCH(Ok, r);
        const auto &[mode, how, current, answer, tray, refusal, place] = r;
        if (*refusal)
            m_fake->wallpaper.nextResult = Failure{refusal};
        m_fake->prompter.answers = {answer, answer};
        FrmVLB &window = open(mode, QStringLiteral("c.png"));
        m_fake->tray.available = tray;
        if (current)
            clickEntry(1);
        if (how)
            QTest::mouseClick(w("Command1"), Qt::MouseButton(how));
        else
            QTest::keyClick(option(mode), Qt::Key_Return);
        // The rotation's first change is the first draw, 0.9 of three files.
        const bool rotates = mode == 2 && answer != Answer::Cancel;
        const char *set = rotates ? "d.png" : mode < 2 && current ? "c.png" : nullptr;
        const auto lifetime =
            mode == 1 ? WallpaperLifetime::ForGood : WallpaperLifetime::UntilLogoff;
        const auto &sets = m_fake->wallpaper.sets;
        QCOMPARE(sets.size(), std::size_t(set != nullptr));
        if (set)
            QCOMPARE(std::pair(sets[0].path, sets[0].lifetime),
                     std::pair(picture(set).toStdString(), lifetime));
        QCOMPARE(window.isVisible(), place != 0);
        QVERIFY(!place || window.isMinimized() == (place == 1)); // the tray counts as minimised
        QCOMPARE(timer()->isActive(), rotates);
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(mode < 2 ? 8 : 0));
        QCOMPARE(m_fake->wallpaper.screenSaverCalls, int(mode == 2 && answer == Answer::Yes));
        // Told of a refusal, or asked once about the screen saver, with a way back.
        QCOMPARE(shown().size(), std::size_t(mode == 2 || *refusal));
        QVERIFY(!*refusal || shown()[0].text.endsWith(QString::fromUtf8(refusal)));
        QVERIFY(mode < 2 || shown()[0].buttons == AnswerButtons::YesNoCancel);
        if (!rotates)
            return;
        QCOMPARE(m_fake->tray.visible, how == Qt::LeftButton);
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
    void preview()
    {
        open(0);
        clickEntry(0);
        QCOMPARE(m_window->fichierPapierPeint(), picture("b.png"));
        const PixelSize size{801, 601};
        QCOMPARE(w<QLabel>("Label1")->text().toStdString(),
                 infoLine(picture("b.png").toStdString(), size, 1280, 1024));
        const PixelSize half = previewPixels(size);
        const PixelSize device = decodeSize(size, m_window->devicePixelRatioF());
        auto *image1 = w<QLabel>("image1");
        QVERIFY(image1->isVisible() && shown().empty());
        QCOMPARE(image1->size(), QSize(half.width, half.height));
        QCOMPARE(image1->pixmap().size(), QSize(device.width, device.height));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
