#include "browser/drivelist.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "platform/fakes/fakedrives.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;

namespace {

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
}

/// Records the keys a child leaves unhandled, as the main window would see them.
class KeySink : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Control)
            keys.push_back(event->key());
    }
};

QPoint centreOf(QListView *view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

} // namespace

class TestBrowserLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_path = QDir::toNativeSeparators(QDir::cleanPath(m_dir->path()));
    }

    void listingRules_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("listed");

        const QStringList mixed{"b.jpg",     "A.JPG",   "a.jpeg",      "Zèbre.jpg",
                                "été.jpg",   "Été.JPG", ".cachée.jpg", "photo.BMP",
                                "photo.rle", "notes",   "10.jpg",      "9.jpg"};
        const QStringList folders{"dossier.jpg", ".hidden", "Sub"};
        QTest::newRow("*.jpg") << mixed << folders << "*.jpg"
                               << QStringList{"10.jpg",    "9.jpg",   "A.JPG",  "b.jpg",
                                              "Zèbre.jpg", "Été.JPG", "été.jpg"};
        QTest::newRow("bmp and rle")
            << mixed << folders << "*.bmp;*.rle" << QStringList{"photo.BMP", "photo.rle"};
        QTest::newRow("empty pattern")
            << mixed << folders << ""
            << QStringList{"10.jpg",    "9.jpg",     "a.jpeg",    "A.JPG",   "b.jpg",  "notes",
                           "photo.BMP", "photo.rle", "Zèbre.jpg", "Été.JPG", "été.jpg"};
        QTest::newRow("nothing matches") << mixed << folders << "*.gif" << QStringList{};
        QTest::newRow("empty folder") << QStringList{} << QStringList{} << "" << QStringList{};
    }

    void listingRules()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QString, pattern);
        QFETCH(QStringList, listed);
        for (const QString &f : std::as_const(files))
            touch(m_dir->filePath(f));
        for (const QString &d : std::as_const(folders))
            QVERIFY(QDir(m_dir->path()).mkdir(d));

        FileList list;
        list.setPattern(pattern);
        QVERIFY(list.setPath(m_path));
        QStringList got;
        for (int i = 0; i < list.count(); ++i)
            got.push_back(list.entry(i));
        QCOMPARE(got, listed);
    }

    void refreshKeepsCurrentAndSelectionByName()
    {
        for (const char *f : {"a.jpg", "b.gif", "c.jpg", "d.jpg"})
            touch(m_dir->filePath(QString::fromLatin1(f)));
        FileList list;
        list.setPattern(QStringLiteral("*.jpg;*.gif"));
        QVERIFY(list.setPath(m_path));
        QSignalSpy clicked(&list, &FileList::currentFileClicked);
        QVERIFY(list.setFileName(QStringLiteral("c.jpg")));
        list.selectionModel()->select(list.model()->index(0, 0),
                                      QItemSelectionModel::Select); // a.jpg
        list.selectionModel()->select(list.model()->index(1, 0),
                                      QItemSelectionModel::Select); // b.gif

        list.setPattern(QStringLiteral("*.jpg"));
        QCOMPARE(list.fileName(), QStringLiteral("c.jpg"));
        QCOMPARE(list.selectedNames(), (QStringList{"a.jpg", "c.jpg"}));

        touch(m_dir->filePath(QStringLiteral("0.jpg")));
        list.refresh();
        QCOMPARE(list.entry(0), QStringLiteral("0.jpg"));
        QCOMPARE(list.fileName(), QStringLiteral("c.jpg"));
        QCOMPARE(list.selectedNames(), (QStringList{"a.jpg", "c.jpg"}));
        QCOMPARE(clicked.count(), 0);
    }

    void fileNameSetBeforeThePatternIsSelectedOnceListed()
    {
        for (const char *f : {"a.jpg", "Saved.GIF"})
            touch(m_dir->filePath(QString::fromLatin1(f)));
        FileList list;
        list.setPattern(QStringLiteral("*.jpg"));
        QVERIFY(list.setPath(m_path));
        QSignalSpy clicked(&list, &FileList::currentFileClicked);
        QVERIFY(!list.setFileName(QStringLiteral("Saved.GIF")));
        list.setPattern(QStringLiteral("*.gif"));
        QCOMPARE(list.fileName(), QStringLiteral("Saved.GIF"));
        QVERIFY(list.isSelected(0));
        QCOMPARE(clicked.count(), 0);

        // Another folder starts with nothing selected.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("autre")));
        touch(m_dir->filePath(QStringLiteral("autre/Saved.GIF")));
        QVERIFY(list.setPath(m_dir->filePath(QStringLiteral("autre"))));
        QCOMPARE(list.fileName(), QString());
    }

    void clicksAndKeyboardMovesCountAsClicks()
    {
        for (const char *f : {"a.jpg", "b.jpg", "c.jpg"})
            touch(m_dir->filePath(QString::fromLatin1(f)));
        KeySink window;
        auto *list = new FileList(&window);
        list->setGeometry(0, 0, 200, 200);
        list->setPattern(QStringLiteral("*.jpg"));
        QVERIFY(list->setPath(m_path));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy clicked(list, &FileList::currentFileClicked);
        QSignalSpy right(list, &FileList::rightButtonReleased);

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 1));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(list->fileName(), QStringLiteral("b.jpg"));
        // Clicking the current entry again still counts: it makes it current again.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 1));
        QCOMPARE(clicked.count(), 2);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(clicked.count(), 3);
        QCOMPARE(list->fileName(), QStringLiteral("c.jpg"));
        QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(clicked.count(), 4);
        QCOMPARE(list->selectedNames(), (QStringList{"b.jpg", "c.jpg"}));

        // The right button keeps the selection for the conversion menu.
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, 0));
        QCOMPARE(right.count(), 1);
        QCOMPARE(clicked.count(), 4);
        QCOMPARE(list->selectedNames(), (QStringList{"b.jpg", "c.jpg"}));
        QCOMPARE(list->fileName(), QStringLiteral("b.jpg"));

        list->setFileName(QStringLiteral("a.jpg"));
        QCOMPARE(clicked.count(), 4);

        // Enter is the window's: it presses the default button.
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Return});
    }

    void folderRowsAndOpening()
    {
        QDir d(m_dir->path());
        QVERIFY(d.mkdir(QStringLiteral("Vacances")));
        QVERIFY(d.mkdir(QStringLiteral("archives")));
        QVERIFY(d.mkdir(QStringLiteral(".cache")));
        touch(m_dir->filePath(QStringLiteral("file.jpg")));

        KeySink window;
        auto *list = new FolderList(&window);
        list->setGeometry(0, 0, 200, 400);
        QVERIFY(list->setPath(m_path + QDir::separator()));
        QCOMPARE(list->path(), m_path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int depth = int(m_path.count(QDir::separator()));
        const int rows = list->model()->rowCount();
        QCOMPARE(rows, depth + 1 + 2);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QDir::rootPath());
        QCOMPARE(list->model()->index(rows - 2, 0).data().toString(), QStringLiteral("archives"));
        QCOMPARE(list->model()->index(rows - 1, 0).data().toString(), QStringLiteral("Vacances"));

        QSignalSpy changed(list, &FolderList::pathChanged);
        // A click only highlights.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, rows - 1));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(list->highlightedPath(), m_path + QDir::separator() + "Vacances");
        // Enter goes to the window, Space opens.
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Return});
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list->path(), m_path + QDir::separator() + "Vacances");

        // Back up one level by double click, then down again with Ctrl+Enter.
        const int parentRow = list->model()->rowCount() - 2;
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, parentRow));
        QCOMPARE(list->path(), m_path);
        QCOMPARE(changed.count(), 2);
        list->setCurrentIndex(list->model()->index(list->model()->rowCount() - 2, 0));
        QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(list->path(), m_path + QDir::separator() + "archives");
    }

    void unreadableFoldersKeepTheListWhereItWas_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("removed") << "gone"
                                 << "n'existe pas ou plus";
        QTest::newRow("a file") << "file.jpg"
                                << "ce n'est pas un dossier";
    }

    void unreadableFoldersKeepTheListWhereItWas()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QDir d(m_dir->path());
        QVERIFY(d.mkdir(QStringLiteral("gone")));
        touch(m_dir->filePath(QStringLiteral("file.jpg")));
        FolderList folders;
        FileList files;
        QVERIFY(folders.setPath(m_path));
        QVERIFY(files.setPath(m_path));
        QVERIFY(d.rmdir(QStringLiteral("gone")));

        const QString full = m_path + QDir::separator() + target;
        const Result<> folderOpened = folders.setPath(full);
        QVERIFY(!folderOpened);
        QString error = QString::fromStdString(folderOpened.reason());
        QVERIFY2(error.contains(QStringLiteral("« ") + full + QStringLiteral(" »")),
                 qPrintable(error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(folders.path(), m_path);
        const Result<> filesListed = files.setPath(full);
        QVERIFY(!filesListed);
        error = QString::fromStdString(filesListed.reason());
        QVERIFY(error.contains(reason));
        QCOMPARE(files.path(), m_path);

        // Opened from the list itself, the failure is reported for the window to show.
        QSignalSpy failed(&folders, &FolderList::openFailed);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("later")));
        QVERIFY(folders.setPath(m_path));
        const int last = folders.model()->rowCount() - 1;
        folders.setCurrentIndex(folders.model()->index(last, 0));
        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("later")));
        folders.openHighlighted();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(folders.path(), m_path);
    }

    void noPermission()
    {
        if (geteuid() == 0)
            QSKIP("running as root: every folder is readable");
        QDir d(m_dir->path());
        QVERIFY(d.mkdir(QStringLiteral("fermé")));
        const QString closed = m_dir->filePath(QStringLiteral("fermé"));
        QVERIFY(QFile::setPermissions(closed, QFileDevice::ReadOwner));
        FileList files;
        const Result<> listed = files.setPath(closed);
        QVERIFY(!listed);
        QVERIFY(QString::fromStdString(listed.reason()).contains(QStringLiteral("pas le droit")));
        QFile::setPermissions(closed, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }

    void drivesFollowMedia()
    {
        auto source = std::make_unique<FakeDriveSource>(QStringList{"/", "/home"});
        FakeDriveSource *fake = source.get();
        DriveList drives(std::move(source));
        QSignalSpy changed(&drives, &DriveList::driveChanged);
        QCOMPARE(drives.count(), 2);
        QCOMPARE(drives.drive(), QStringLiteral("/"));

        fake->setDrives({"/", "/home", "/media/moi/CLÉ"});
        QCOMPARE(drives.count(), 3);
        QVERIFY(drives.setDrive(QStringLiteral("/media/moi/CLÉ")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(drives.driveOf(QStringLiteral("/media/moi/CLÉ/photos")),
                 QStringLiteral("/media/moi/CLÉ"));
        QCOMPARE(drives.driveOf(QStringLiteral("/media/moi/CLÉS")), QStringLiteral("/"));
        QCOMPARE(drives.driveOf(QStringLiteral("/home/moi")), QStringLiteral("/home"));

        // Another stick comes and goes: the current drive stays, silently.
        fake->setDrives({"/", "/home", "/media/moi/CLÉ", "/media/moi/SD"});
        fake->setDrives({"/", "/home", "/media/moi/CLÉ"});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(drives.drive(), QStringLiteral("/media/moi/CLÉ"));

        // The current stick is pulled out: the list moves to the root and says so.
        fake->setDrives({"/", "/home"});
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().first().toString(), QStringLiteral("/"));

        QVERIFY(!drives.setDrive(QStringLiteral("/media/moi/CLÉ")));
        drives.showDrive(QStringLiteral("/home"));
        QCOMPARE(drives.drive(), QStringLiteral("/home"));
        QCOMPARE(changed.count(), 2);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_MAIN(TestBrowserLists)
#include "tst_browser_lists.moc"
