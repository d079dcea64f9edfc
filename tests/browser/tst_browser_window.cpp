#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "browser/core/preview.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "tests/common/fakecontext.h"
#include "tests/common/testpictures.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;

namespace {

void writePng(const QString &path, int width, int height)
{
    QImageWriter writer(path, "png");
    QVERIFY2(writer.write(test::gradient(width, height)), qPrintable(writer.errorString()));
}

} // namespace

/// The browser and the preview inside the real main window, with the
/// platform's services faked (no settings file, a 1280 x 1024 screen, message
/// boxes recorded instead of shown).
class TestBrowserWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_path = QDir::toNativeSeparators(QDir::cleanPath(m_dir->path()));
        writePng(m_dir->filePath(QStringLiteral("b.png")), 801, 601);
        writePng(m_dir->filePath(QStringLiteral("c.png")), 40, 20);
        QFile text(m_dir->filePath(QStringLiteral("d.png")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("pas une image");
        text.close();

        m_ctx.reset(new FakeContext);
        m_window.reset(new FrmVLB(m_ctx->context()));
        m_window->load();
        m_window->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("*.png"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(dir1()->setPath(m_path));
        QTest::keyClick(m_window->findChild<QLineEdit *>(QStringLiteral("Text1")), Qt::Key_Return);
        QCOMPARE(file1()->path(), m_path);
        QCOMPARE(file1()->count(), 3);
    }

    void cleanup() { m_window.reset(); }

    void clickShowsTheHalfSizePreview_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("info");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("801 x 601")
            << 0 << " (801 x 601 pixels pour un écran de 1280 x 1024)" << QSize(401, 301);
        QTest::newRow("40 x 20") << 1 << " (40 x 20 pixels pour un écran de 1280 x 1024)"
                                 << QSize(20, 10);
        // Not a picture: the path alone, an empty preview, no message.
        QTest::newRow("text") << 2 << "" << QSize();
    }

    void clickShowsTheHalfSizePreview()
    {
        QFETCH(int, row);
        QFETCH(QString, info);
        QFETCH(QSize, shown);
        clickEntry(row);
        const QString file = m_path + QDir::separator() + file1()->entry(row);
        QCOMPARE(m_window->fichierPapierPeint(), file);
        QCOMPARE(label1()->text(), file + info);
        QVERIFY(image1()->isVisible());
        QCOMPARE(image1()->pixmap().isNull(), shown.isEmpty());
        if (!shown.isEmpty()) {
            QCOMPARE(image1()->size(), shown);
            // Scaled screens get the preview's device pixels, no more than the picture has.
            const PixelSize device = decodeSize(row == 0 ? PixelSize{801, 601} : PixelSize{40, 20},
                                                m_window->devicePixelRatioF());
            QCOMPARE(image1()->pixmap().size(), QSize(device.width, device.height));
            QCOMPARE(image1()->pos(), shape1()->pos());
        }
        QVERIFY(m_ctx->prompter.shown.empty());
    }

    void keyboardMovesRebuildThePreview()
    {
        clickEntry(0);
        QTest::keyClick(file1(), Qt::Key_Down);
        QCOMPARE(m_window->fichierPapierPeint(), m_path + QDir::separator() + "c.png");
        QCOMPARE(image1()->size(), QSize(20, 10));
    }

    void minimisedLoadsNothing()
    {
        clickEntry(0);
        m_window->setWindowState(Qt::WindowMinimized);
        QVERIFY(m_window->isMinimized());
        m_window->ChargeImage();
        QVERIFY(!image1()->isVisible());
        QVERIFY(image1()->pixmap().isNull());
        QCOMPARE(label1()->text(), m_path + QDir::separator() + "b.png");
    }

    void heldButtonStretchesOverTheOutline()
    {
        clickEntry(1);
        QCOMPARE(shape1()->size(), QSize(640, 512));
        QTest::mousePress(image1(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(image1()->size(), shape1()->size());
        QVERIFY(!image1()->pixmap().isNull());

        // Meanwhile another entry became the list's current one without a
        // click (as after a rotation): the release goes back to the list's entry.
        file1()->setFileName(QStringLiteral("b.png"));
        QCOMPARE(m_window->fichierPapierPeint(), m_path + QDir::separator() + "c.png");
        QTest::mouseRelease(image1(), Qt::RightButton, {}, QPoint(2, 2));
        QCOMPARE(m_window->fichierPapierPeint(), m_path + QDir::separator() + "b.png");
        QCOMPARE(image1()->size(), QSize(401, 301));
    }

    void unreadableFolderIsReportedAndTheListsStay()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("clé")));
        QVERIFY(dir1()->setPath(m_path));
        const int last = dir1()->model()->rowCount() - 1;
        dir1()->setCurrentIndex(dir1()->model()->index(last, 0));
        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("clé")));
        QTest::keyClick(dir1(), Qt::Key_Space);

        QCOMPARE(m_ctx->prompter.shown.size(), std::size_t(1));
        QCOMPARE(m_ctx->prompter.shown[0].title, QStringLiteral("Velumbra"));
        QCOMPARE(m_ctx->prompter.shown[0].text,
                 QStringLiteral(
                     "Impossible d'ouvrir le dossier « %1 » : ce dossier n'existe pas ou plus.")
                     .arg(m_path + QDir::separator() + "clé"));
        QCOMPARE(dir1()->path(), m_path);
        QCOMPARE(file1()->path(), m_path);
    }

    void changingFolderKeepsThePreview()
    {
        clickEntry(0);
        const QString label = label1()->text();
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("autre")));
        QVERIFY(dir1()->setPath(m_dir->filePath(QStringLiteral("autre"))));
        QCOMPARE(file1()->path(), m_path + QDir::separator() + "autre");
        QCOMPARE(file1()->count(), 0);
        QCOMPARE(label1()->text(), label);
        QCOMPARE(m_window->fichierPapierPeint(), m_path + QDir::separator() + "b.png");
    }

    void startUpRestoresQuietly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("restored");
        // The saved file has no dot: only the restored pattern "*" lists it,
        // and that pattern is applied after the name was set.
        QTest::newRow("folder and file") << ""
                                         << "LISEZMOI" << true;
        QTest::newRow("folder gone") << "/velumbra/absent"
                                     << "LISEZMOI" << false;
    }

    void startUpRestoresQuietly()
    {
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        QFETCH(bool, restored);
        QFile readme(m_dir->filePath(QStringLiteral("LISEZMOI")));
        QVERIFY(readme.open(QIODevice::WriteOnly));
        readme.close();
        FakeContext ctx;
        ctx.settings.values["Init/AUTEUR"] = kSettingsMarker;
        ctx.settings.values["Init/Folder"] = (folder.isEmpty() ? m_path : folder).toStdString();
        ctx.settings.values["Init/Pattern"] = "*";
        ctx.settings.values["Init/FileName"] = fileName.toStdString();
        FrmVLB window(ctx.context());
        const QString before = window.findChild<FolderList *>(QStringLiteral("Dir1"))->path();
        window.load();
        auto *files = window.findChild<FileList *>(QStringLiteral("File1"));
        auto *folders = window.findChild<FolderList *>(QStringLiteral("Dir1"));
        QVERIFY(ctx.prompter.shown.empty());
        QCOMPARE(files->path(), folders->path());
        QCOMPARE(folders->path(), restored ? m_path : before);
        QCOMPARE(files->fileName(), restored ? fileName : QString());
        QCOMPARE(window.fichierPapierPeint(), QString());
    }

private:
    FileList *file1() { return m_window->findChild<FileList *>(QStringLiteral("File1")); }
    FolderList *dir1() { return m_window->findChild<FolderList *>(QStringLiteral("Dir1")); }
    QLabel *image1() { return m_window->findChild<QLabel *>(QStringLiteral("image1")); }
    QLabel *label1() { return m_window->findChild<QLabel *>(QStringLiteral("Label1")); }
    QWidget *shape1() { return m_window->findChild<QWidget *>(QStringLiteral("Shape1")); }

    void clickEntry(int row)
    {
        const QRect r = file1()->visualRect(file1()->model()->index(row, 0));
        QTest::mouseClick(file1()->viewport(), Qt::LeftButton, {}, r.center());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<FakeContext> m_ctx;
    std::unique_ptr<FrmVLB> m_window;
};

QTEST_MAIN(TestBrowserWindow)
#include "tst_browser_window.moc"
