#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "tests/common/fakecontext.h"

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace velumbra;

// The OK button, the rotation timer and the tray, with every service faked:
// the wallpaper (nothing real can be set offscreen; the backends have their
// own tests against real desktops), the tray, the clock and the draws.
class TestOkRotation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FakeContext> m_fake;
    std::unique_ptr<FrmVLB> m_window;

    QRadioButton *option(int index)
    {
        const QList<QRadioButton *> all =
            m_window->findChildren<QRadioButton *>(QStringLiteral("Option1"));
        for (QRadioButton *b : all)
            if (b->property("index").toInt() == index)
                return b;
        return nullptr;
    }
    QPushButton *ok() { return m_window->findChild<QPushButton *>(QStringLiteral("Command1")); }
    QTimer *timer() { return m_window->findChild<QTimer *>(QStringLiteral("Timer1")); }

    FrmVLB &open(int mode, const char *file = "")
    {
        m_fake->settings.values = {{"Init/AUTEUR", std::string(kSettingsMarker)},
                                   {"Init/Drive", "/"},
                                   {"Init/Folder", m_dir.path().toStdString()},
                                   {"Init/Pattern", "*.bmp"},
                                   {"Init/FileName", file},
                                   {"Init/Option", std::to_string(mode)},
                                   {"Init/Time", "90"},
                                   {"Init/Unites", "0"}};
        m_window = std::make_unique<FrmVLB>(m_fake->context());
        m_window->load();
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("window not exposed");
        return *m_window;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const std::pair<const char *, Qt::GlobalColor> pictures[] = {
            {"a.bmp", Qt::red}, {"b.bmp", Qt::green}, {"c.bmp", Qt::blue}};
        for (const auto &[name, colour] : pictures) {
            QImage img(8, 6, QImage::Format_RGB32);
            img.fill(colour);
            QVERIFY(img.save(m_dir.filePath(QString::fromLatin1(name)), "BMP"));
        }
    }

    void init()
    {
        m_fake = std::make_unique<FakeContext>();
        m_fake->clock.days = 46000.5;
        m_fake->random.draws = {0.9, 0.1, 0.5, 0.9};
    }
    void cleanup() { m_window.reset(); }

    void trayIsThereFromTheStart()
    {
        open(2);
        QVERIFY(m_fake->tray.visible);
        QCOMPARE(m_fake->tray.tip, QStringLiteral("°VLB° Velumbra"));
    }

    void setsAndQuitsInTheFirstTwoModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("failing");
        QTest::newRow("temporary, click") << 0 << "left" << false;
        QTest::newRow("temporary, Enter") << 0 << "enter" << false;
        QTest::newRow("for good, right button") << 1 << "right" << false;
        QTest::newRow("for good, middle button") << 1 << "middle" << false;
        QTest::newRow("refused by the desktop") << 1 << "left" << true;
    }

    void setsAndQuitsInTheFirstTwoModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, how);
        QFETCH(bool, failing);
        if (failing)
            m_fake->wallpaper.nextResult = Failure{"Le fichier est introuvable."};
        FrmVLB &w = open(mode);
        // Clicking an entry makes it the current file.
        auto *files = w.findChild<QListView *>(QStringLiteral("File1"));
        const QModelIndex b = files->model()->index(1, 0);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualRect(b).center());
        const QString path = m_dir.filePath(QStringLiteral("b.bmp"));
        QCOMPARE(w.fichierPapierPeint(), path);
        m_fake->prompter.shown.clear();
        if (how == QLatin1String("left"))
            QTest::mouseClick(ok(), Qt::LeftButton);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(option(mode), Qt::Key_Return);
        else
            QTest::mouseClick(ok(),
                              how == QLatin1String("right") ? Qt::RightButton : Qt::MiddleButton);
        // Set once, for the mode's lifetime, then saved and quit.
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(m_fake->wallpaper.sets[0].path), path);
        QCOMPARE(m_fake->wallpaper.sets[0].lifetime,
                 mode == 0 ? WallpaperLifetime::UntilLogoff : WallpaperLifetime::ForGood);
        QVERIFY(!w.isVisible());
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
        if (failing) {
            QCOMPARE(m_fake->prompter.shown.size(), std::size_t(1));
            QCOMPARE(m_fake->prompter.shown[0].text,
                     QStringLiteral(
                         "Le papier peint n'a pas pu être changé : Le fichier est introuvable."));
        } else {
            QVERIFY(m_fake->prompter.shown.empty());
        }
    }

    // Both quitting modes leave the wallpaper alone without a current file
    // (test_okaction); here the window carries that out.
    void withoutACurrentFileTheWallpaperStays()
    {
        // The saved file is selected again at start, but not current yet.
        FrmVLB &w = open(1, "b.bmp");
        m_fake->prompter.shown.clear();
        QTest::mouseClick(ok(), Qt::LeftButton);
        // No current file yet: nothing is set, the wallpaper stays the user's,
        // and so no failure can be reported either.
        QVERIFY(m_fake->wallpaper.sets.empty());
        QVERIFY(m_fake->prompter.shown.empty());
        QVERIFY(!w.isVisible());
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
    }

    void rotationStartsAtOnceAndHidesIntoTheTray_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("screenSaverCalls");
        QTest::newRow("No") << int(Answer::No) << 0;
        QTest::newRow("Yes") << int(Answer::Yes) << 1;
    }

    void rotationStartsAtOnceAndHidesIntoTheTray()
    {
        QFETCH(int, answer);
        QFETCH(int, screenSaverCalls);
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer(answer)};
        QTest::mouseClick(ok(), Qt::LeftButton);

        QCOMPARE(m_fake->prompter.shown.size(), std::size_t(1));
        QCOMPARE(m_fake->prompter.shown[0].title, QStringLiteral("°VLB° Tapisol, par Ardeval"));
        QCOMPARE(m_fake->prompter.shown[0].text,
                 QStringLiteral("Voulez-vous désactiver l'éventuel «Screen Saver»"));
        QCOMPARE(m_fake->prompter.shown[0].buttons, AnswerButtons::YesNoCancel);
        QCOMPARE(m_fake->wallpaper.screenSaverCalls, screenSaverCalls);
        // The count was validated first: 90 seconds is at most 59.
        QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("Text2"))->text(),
                 QStringLiteral("59"));
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 1000);

        // The first change came at once, with the first draw of 0.9 of three files.
        const QString c = m_dir.filePath(QStringLiteral("c.bmp"));
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(m_fake->wallpaper.sets[0].path), c);
        QCOMPARE(m_fake->wallpaper.sets[0].lifetime, WallpaperLifetime::UntilLogoff);
        QCOMPARE(w.fichierPapierPeint(), c);
        QCOMPARE(w.windowTitle(), QString::fromUtf8(kCaptionPrefix) + c);
        QCOMPARE(m_fake->tray.tip, w.windowTitle());

        QVERIFY(!w.isVisible());
        QVERIFY(m_fake->tray.visible);
        // A release while it rotates changes nothing but the remembered button.
        QTest::mouseRelease(ok(), Qt::RightButton);
        QCOMPARE(m_fake->prompter.shown.size(), std::size_t(1));
        QVERIFY(w.clicDroit());
    }

    void cancelAsksOnlyOnce()
    {
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer::Cancel, Answer::Cancel};
        QTest::mouseClick(ok(), Qt::LeftButton);
        QCOMPARE(m_fake->prompter.shown.size(), std::size_t(1));
        QVERIFY(!timer()->isActive());
        QVERIFY(m_fake->wallpaper.sets.empty());
        QVERIFY(w.isVisible());
    }

    void aRightButtonStartKeepsTheWindowAndTakesTheIconAway()
    {
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(ok(), Qt::RightButton);
        QVERIFY(timer()->isActive());
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QVERIFY(!m_fake->tray.visible);

        // Stopped by choosing a mode, then started again with a left click:
        // the click still sees the right button of the last release.
        QTest::mouseClick(option(1), Qt::LeftButton);
        QTest::mouseClick(option(2), Qt::LeftButton);
        QVERIFY(!timer()->isActive());
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(ok(), Qt::LeftButton);
        QVERIFY(timer()->isActive());
        QVERIFY(w.isVisible());
        QVERIFY(!w.clicDroit());
    }

    void withoutANotificationAreaTheWindowOnlyMinimises()
    {
        FrmVLB &w = open(2);
        m_fake->tray.available = false;
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(ok(), Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY(w.isMinimized());
    }

    void aVanishingNotificationAreaBringsTheWindowBack()
    {
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(ok(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        m_fake->tray.available = false;
        QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection);
        QVERIFY(w.isVisible());
        QVERIFY(w.isMinimized());
    }

    void trayMenuShowsTheWindowAndQuits()
    {
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer::No};
        QTest::mouseClick(ok(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.findChild<QAction *>(QStringLiteral("mnu_afficher"))->trigger();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QVERIFY(timer()->isActive()); // showing the window does not stop the rotation
        QVERIFY(m_fake->tray.visible);
        // Showing it twice leaves it as it is.
        w.findChild<QAction *>(QStringLiteral("mnu_afficher"))->trigger();
        QVERIFY(w.isVisible());

        w.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger();
        QVERIFY(!timer()->isActive());
        QCOMPARE(m_fake->settings.committed.size(), std::size_t(8));
    }

    void ticksChangeOnlyWhenDue()
    {
        FrmVLB &w = open(2);
        m_fake->prompter.answers = {Answer::No};
        m_fake->random.draws = {0.9, 0.1, 0.5, 0.9, 0.1, 0.5, 0.9};
        QTest::mouseClick(ok(), Qt::LeftButton); // 59 seconds
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(1));
        for (int i = 0; i < 58; ++i) {
            m_fake->clock.advanceSeconds(1);
            QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection);
        }
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(1));
        m_fake->clock.days = w.rotation().nextChange();
        QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection);
        QCOMPARE(m_fake->wallpaper.sets.size(), std::size_t(2));
    }
};

QTEST_MAIN(TestOkRotation)
#include "tst_okrotation.moc"
