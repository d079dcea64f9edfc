#include "app/frmvlb.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "tests/common/fakecontext.h"
#include "tests/common/testpictures.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;

// The two popup commands wired into the main window: what they convert, and
// what they leave in the caption and the current file.
class TestConvertWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void selectedFiles();
    void wholeFolder();

private:
    void trigger(const char *action);
    bool exists(const QString &name) const
    {
        return QFile::exists(m_folder + QLatin1Char('/') + name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousCurrent;
    QString m_folder;
    std::unique_ptr<FakeContext> m_ctx;
    std::unique_ptr<FrmVLB> m_window;
    FileList *m_files = nullptr;
};

void TestConvertWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *name : {"a.gif", "b.gif", "c.gif"}) {
        QFile file(m_dir->filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(test::gif({test::patternPicture(QSize(6, 4), 3, int(name[0]))}));
    }
    // The lists open on the folder the program was started in.
    m_previousCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_ctx = std::make_unique<FakeContext>();
    m_window = std::make_unique<FrmVLB>(m_ctx->context());
    m_files = m_window->findChild<FileList *>(QStringLiteral("File1"));
    QVERIFY(m_files);
    m_folder = m_window->findChild<FolderList *>(QStringLiteral("Dir1"))->path();
    QCOMPARE(m_files->count(), 3);
}

void TestConvertWindow::cleanup()
{
    m_window.reset();
    m_ctx.reset();
    QDir::setCurrent(m_previousCurrent);
    m_dir.reset();
}

void TestConvertWindow::trigger(const char *action)
{
    auto *a = m_window->findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY(a);
    a->trigger();
}

void TestConvertWindow::selectedFiles()
{
    QItemSelectionModel *selection = m_files->selectionModel();
    selection->select(m_files->model()->index(0, 0), QItemSelectionModel::Select);
    selection->select(m_files->model()->index(2, 0), QItemSelectionModel::Select);
    trigger("Mnu_FichierBMP");
    QVERIFY(exists(QStringLiteral("a.bmp")));
    QVERIFY(!exists(QStringLiteral("b.bmp")));
    QVERIFY(exists(QStringLiteral("c.bmp")));
    QCOMPARE(m_window->windowTitle(),
             QString::fromUtf8(kCaptionPrefix) + m_folder + QStringLiteral("/c.gif"));
    QCOMPARE(m_window->fichierPapierPeint(), m_folder + QStringLiteral("/c.bmp"));
    QCOMPARE(m_ctx->prompter.shown.size(), std::size_t(2));
    QCOMPARE(
        m_ctx->prompter.shown[0].text,
        QStringLiteral("Voulez-vous convertir en .BMP les fichiers sélectionnés du dossier «") +
            m_folder + QStringLiteral("» ?"));
    QCOMPARE(m_ctx->prompter.shown[1].text, QStringLiteral("Conversion terminée !"));
}

void TestConvertWindow::wholeFolder()
{
    trigger("Mnu_DossierBmp");
    for (const char *name : {"a.bmp", "b.bmp", "c.bmp"})
        QVERIFY(exists(QString::fromLatin1(name)));
    QCOMPARE(m_window->fichierPapierPeint(), m_folder + QStringLiteral("/c.bmp"));
    QCOMPARE(m_ctx->prompter.shown[0].title, QStringLiteral("°VLB° Conversion de fichiers"));
    // The list is filled again only later: the copies do not show yet.
    QCOMPARE(m_files->count(), 3);
}

QTEST_MAIN(TestConvertWindow)
#include "tst_convert_window.moc"
