// The About dialog and the two commands of the "?" menu. The registry, the
// processes and the browser are fakes: nothing real may be started here.
#include "aboutservices.h"
#include "fakecontext.h"
#include "frmabout.h"
#include "frmvlb.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace velumbra;

namespace {

const QString kNotice =
    QStringLiteral("Les informations système ne sont pas disponibles actuellement");

QList<QWidget *> visibleAboutDialogs()
{
    QList<QWidget *> found;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *w : all)
        if (w->objectName() == QLatin1String("frmAbout") && w->isVisible())
            found.append(w);
    return found;
}

QAction *menuAction(FrmVLB &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fake = std::make_unique<FakeContext>(); }
    void cleanup() { m_fake.reset(); }

    void textsAfterLoad()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("À propos de Velumbra"));
        QCOMPARE(label(dialog, "lblTitle")->text(), QStringLiteral("Velumbra"));
        QCOMPARE(label(dialog, "lblVersion")->text(), QStringLiteral("Version 2.1.0"));
        QCOMPARE(label(dialog, "lblDescription")->text(),
                 QStringLiteral("Gestionnaire de fonds d'écran (Wall Paper) et convertisseur des "
                                "formats GIF, JPG ou JPEG en BMP"));
        QCOMPARE(label(dialog, "urlhttp")->text(), QStringLiteral("https://auteur.example/"));
        QVERIFY(label(dialog, "lblDisclaimer")
                    ->text()
                    .contains(QStringLiteral("sans aucune garantie")));
        QCOMPARE(button(dialog, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(button(dialog, "cmdSysInfo")->text(), QStringLiteral("&Infos système..."));
        QVERIFY(!label(dialog, "picIcon")->pixmap().isNull());
    }

    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QString>("expected");
        QTest::newRow("release") << 2 << 1 << 0 << QStringLiteral("Version 2.1.0");
        QTest::newRow("no leading zeros") << 10 << 0 << 7 << QStringLiteral("Version 10.0.7");
    }
    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(QString, expected);
        QCOMPARE(velumbra::versionText(major, minor, patch), expected);
    }

    void placement_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        // The dialog's twips divided by fifteen.
        QTest::newRow("picIcon") << "picIcon" << QRect(16, 16, 64, 64);
        QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 52, 259, 15);
        QTest::newRow("lblDescription") << "lblDescription" << QRect(88, 80, 259, 46);
        QTest::newRow("urlhttp") << "urlhttp" << QRect(8, 128, 185, 17);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(0, 168, 274, 79);
        QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 175, 84, 23);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(284, 205, 83, 23);
    }
    void placement()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        frmAbout dialog(m_fake->about, m_fake->prompter);
        QWidget *control = dialog.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
        QVERIFY2(!control->accessibleName().isEmpty(), "every control has a French name");
    }

    void dialogFrame()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        QCOMPARE(dialog.minimumSize(), QSize(382, 252));
        QCOMPARE(dialog.maximumSize(), QSize(382, 252));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // kept off the task bar
    }

    void etchedSeparator()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        QImage shot(dialog.size(), QImage::Format_RGB32);
        dialog.render(&shot);
        QCOMPARE(QColor(shot.pixel(100, 163)), QColor(128, 128, 128));
        QCOMPARE(QColor(shot.pixel(100, 164)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(100, 165)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(376, 163)), QColor(128, 128, 128));
    }

    void fontsAndColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<QColor>("colour");
        const QColor darkBlue(0, 0, 192);
        QTest::newRow("lblTitle") << "lblTitle" << true << false << darkBlue;
        QTest::newRow("lblVersion") << "lblVersion" << true << false << darkBlue;
        QTest::newRow("lblDescription") << "lblDescription" << true << false << darkBlue;
        QTest::newRow("urlhttp") << "urlhttp" << false << true
                                 << QApplication::palette().color(QPalette::Highlight);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << true << false << QColor(255, 0, 0);
    }
    void fontsAndColours()
    {
        QFETCH(QString, name);
        QFETCH(bool, bold);
        QFETCH(bool, underline);
        QFETCH(QColor, colour);
        frmAbout dialog(m_fake->about, m_fake->prompter);
        QLabel *l = label(dialog, name.toLatin1().constData());
        QCOMPARE(l->font().bold(), bold);
        QCOMPARE(l->font().underline(), underline);
        QCOMPARE(l->font().pixelSize(), 11);
        QCOMPARE(l->font().families().value(0), QStringLiteral("Verdana"));
        QCOMPARE(l->palette().color(QPalette::WindowText), colour);
    }

    void captionsFitTheirControls()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        for (const char *name : {"cmdOK", "cmdSysInfo"}) {
            QPushButton *b = button(dialog, name);
            QString text = b->text();
            text.remove(QLatin1Char('&'));
            // Room for the frame and a little margin on each side.
            QVERIFY2(b->fontMetrics().horizontalAdvance(text) + 8 <= b->width(), name);
        }
        for (const char *name : {"lblTitle", "lblVersion", "urlhttp"}) {
            QLabel *l = label(dialog, name);
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), name);
            QVERIFY2(l->fontMetrics().height() <= l->height(), name);
        }
        for (const char *name : {"lblDescription", "lblDisclaimer"}) {
            QLabel *l = label(dialog, name);
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), name);
        }
    }

    void linkOpensTheAuthorsSite()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        dialog.show();
        QLabel *link = label(dialog, "urlhttp");
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(link, Qt::RightButton);
        QVERIFY(m_fake->web.opened.empty());
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_fake->web.opened, std::vector<std::string>{"https://auteur.example/"});
        QVERIFY(dialog.isVisible());
    }

    void okIsDefaultFirstAndCancel_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void okIsDefaultFirstAndCancel()
    {
        QFETCH(int, key);
        auto *dialog = new frmAbout(m_fake->about, m_fake->prompter);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmAbout> watch(dialog);
        dialog->show();
        QApplication::setActiveWindow(dialog);
        QCOMPARE(dialog->focusWidget(), button(*dialog, "cmdOK"));
        QVERIFY(button(*dialog, "cmdOK")->isDefault());
        QTest::keyClick(dialog, Qt::Key(key));
        QTRY_VERIFY(watch.isNull());
    }

    void sysInfoNoticeWhenNothingFound()
    {
        frmAbout dialog(m_fake->about, m_fake->prompter);
        dialog.show();
        QTest::mouseClick(button(dialog, "cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(m_fake->prompter.shown.size(), 1u);
        QCOMPARE(m_fake->prompter.shown[0].title, QStringLiteral("Velumbra"));
        QCOMPARE(m_fake->prompter.shown[0].text, kNotice);
        QVERIFY(!m_fake->prompter.shown[0].question);
        QVERIFY(m_fake->processes.started.empty());
        QVERIFY(dialog.isVisible());
    }

    void sysInfoStartsAndStaysOpen()
    {
        m_fake->about.programs = {{"/usr/bin/hardinfo"}, {}};
        m_fake->files.files = {"/usr/bin/hardinfo"};
        m_fake->processes.startable = {"/usr/bin/hardinfo"};
        frmAbout dialog(m_fake->about, m_fake->prompter);
        dialog.show();
        dialog.StartSysInfo();
        QCOMPARE(m_fake->processes.started, std::vector<std::string>{"/usr/bin/hardinfo"});
        QVERIFY(m_fake->prompter.shown.empty());
        QVERIFY(dialog.isVisible());
    }

    void sysInfoNoticeWhenStartFails()
    {
        m_fake->registry.set(RegistryRoot::LocalMachine,
                             "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                             {RegistryType::String, "C:\\absent.exe"});
        frmAbout dialog(m_fake->about, m_fake->prompter);
        dialog.StartSysInfo();
        QCOMPARE(m_fake->processes.started, std::vector<std::string>{"C:\\absent.exe"});
        QCOMPARE(m_fake->prompter.shown.size(), 1u);
        QCOMPARE(m_fake->prompter.shown[0].text, kNotice);
    }

    void aboutMenuKeepsOneOwnerlessDialog()
    {
        FrmVLB window(m_fake->context());
        window.show();
        QAction *apropos = menuAction(window, "Mnu_Apropos");
        QVERIFY(apropos);
        apropos->trigger();
        apropos->trigger();
        QList<QWidget *> dialogs = visibleAboutDialogs();
        QCOMPARE(dialogs.size(), 1);
        QWidget *first = dialogs[0];
        QCOMPARE(first->parentWidget(), nullptr);
        QVERIFY(!first->isModal());
        QVERIFY(window.isEnabled());

        // Closing unloads it; the next choice loads it afresh.
        QPointer<QWidget> closed(first);
        first->close();
        QTRY_VERIFY(closed.isNull());
        QCOMPARE(visibleAboutDialogs().size(), 0);
        apropos->trigger();
        dialogs = visibleAboutDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0]->windowTitle(), QStringLiteral("À propos de Velumbra"));
        QCOMPARE(dialogs[0]->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version 2.1.0"));
    }

    void aboutDialogGoesWithTheWindow()
    {
        QPointer<QWidget> dialog;
        {
            FrmVLB window(m_fake->context());
            menuAction(window, "Mnu_Apropos")->trigger();
            dialog = visibleAboutDialogs().value(0);
            QVERIFY(dialog);
        }
        QVERIFY(dialog.isNull());
    }

    void helpOpensTheHelpPage()
    {
        FrmVLB window(m_fake->context());
        QAction *aide = menuAction(window, "Mnu_Aide");
        QVERIFY(aide);
        aide->trigger();
        QCOMPARE(m_fake->web.opened, std::vector<std::string>{"/aide/velumbra.html"});
        QVERIFY(m_fake->prompter.shown.empty());
    }

private:
    static QLabel *label(QWidget &dialog, const char *name)
    {
        auto *l = dialog.findChild<QLabel *>(QString::fromLatin1(name));
        if (!l)
            qFatal("no label %s", name);
        return l;
    }
    static QPushButton *button(QWidget &dialog, const char *name)
    {
        auto *b = dialog.findChild<QPushButton *>(QString::fromLatin1(name));
        if (!b)
            qFatal("no button %s", name);
        return b;
    }

    std::unique_ptr<FakeContext> m_fake;
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
