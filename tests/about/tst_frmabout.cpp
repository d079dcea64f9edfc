// The About dialog and the two commands of the "?" menu. The registry, the
// processes and the browser are fakes: nothing real may be started here.
#include "about/aboutservices.h"
#include "about/frmabout.h"
#include "app/frmvlb.h"
#include "tests/common/fakecontext.h"

#include <QAccessible>
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
        // Heard as shown: a name on a label would hide its text.
        for (const char *name : {"lblTitle", "lblVersion", "lblDescription", "urlhttp",
                                 "lblDisclaimer", "cmdOK", "cmdSysInfo"}) {
            QWidget *c = dialog.findChild<QWidget *>(QString::fromLatin1(name));
            auto *l = qobject_cast<QLabel *>(c);
            const QString shown =
                l ? l->text() : qobject_cast<QPushButton *>(c)->text().remove(QLatin1Char('&'));
            QCOMPARE(QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name), shown);
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(label(dialog, "picIcon"))
                     ->text(QAccessible::Name),
                 QStringLiteral("Icône de Velumbra"));
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

    // Found and started: no notice. Not found, or found but not startable: the
    // notice, and the dialog stays open either way.
    void sysInfo_data()
    {
        QTest::addColumn<QString>("registryPath");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<bool>("notice");
        QTest::newRow("nothing found") << ""
                                       << "" << QStringList{} << true;
        QTest::newRow("found and started")
            << ""
            << "/usr/bin/hardinfo" << QStringList{"/usr/bin/hardinfo"} << false;
        QTest::newRow("start fails") << "C:\\absent.exe"
                                     << "" << QStringList{"C:\\absent.exe"} << true;
    }
    void sysInfo()
    {
        QFETCH(QString, registryPath);
        QFETCH(QString, installed);
        QFETCH(QStringList, started);
        QFETCH(bool, notice);
        if (!registryPath.isEmpty())
            m_fake->registry.set(RegistryRoot::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                                 {RegistryType::String, registryPath.toStdString()});
        if (!installed.isEmpty()) {
            m_fake->about.programs = {{installed.toStdString()}, {}};
            m_fake->files.files = {installed.toStdString()};
            m_fake->processes.startable = {installed.toStdString()};
        }
        frmAbout dialog(m_fake->about, m_fake->prompter);
        dialog.show();
        QTest::mouseClick(button(dialog, "cmdSysInfo"), Qt::LeftButton);
        QStringList got;
        for (const std::string &program : m_fake->processes.started)
            got << QString::fromStdString(program);
        QCOMPARE(got, started);
        QCOMPARE(m_fake->prompter.shown.size(), notice ? 1u : 0u);
        if (notice) {
            QCOMPARE(m_fake->prompter.shown[0].title, QStringLiteral("Velumbra"));
            QCOMPARE(m_fake->prompter.shown[0].text, kNotice);
            QVERIFY(!m_fake->prompter.shown[0].question);
        }
        QVERIFY(dialog.isVisible());
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
