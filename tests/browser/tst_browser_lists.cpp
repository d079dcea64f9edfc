// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/filelist.h"
#include "browser/folderlist.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;

namespace {

// Records the keys a child leaves unhandled, as the main window would see them.
// clang-format off
struct KeySink : QWidget {
    QList<int> keys;
    void keyPressEvent(QKeyEvent *e) override { if (e->key() != Qt::Key_Shift) keys << e->key(); }
};
// clang-format on

QPoint centreOf(QListView *view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

} // namespace

class TestBrowserLists : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    QString make(const QStringList &files, const QStringList &folders = {})
    {
        for (const QString &f : files)
            QFile(m_dir->filePath(f)).open(QIODevice::WriteOnly);
        for (const QString &d : folders)
            QDir(m_path).mkdir(d);
        return m_path;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = QDir::toNativeSeparators(QDir::cleanPath(m_dir->path()));
    }

    // Files only, hidden ones left out, sorted ignoring case; the pattern applied.
    void listingRules()
    {
        make({"b.jpg", "A.JPG", "Été.JPG", ".cachée.jpg", "notes"}, {"dossier.jpg", ".hidden"});
        FileList list;
        QVERIFY(list.setPath(m_path));
        const auto listed = [&] {
            QStringList got;
            for (int i = 0; i < list.count(); ++i)
                got.push_back(list.entry(i));
            return got.join(u' ');
        };
        QCOMPARE(listed(), "A.JPG b.jpg notes Été.JPG");
        list.setPattern(QStringLiteral("*.jpg"));
        QCOMPARE(listed(), "A.JPG b.jpg Été.JPG");
    }

    void clicksAndKeyboardMovesCountAsClicks()
    {
        KeySink window;
        auto *list = new FileList(&window);
        list->setGeometry(0, 0, 200, 200);
        QVERIFY(list->setPath(make({"a.jpg", "b.jpg", "c.jpg"})));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy clicked(list, &FileList::currentFileClicked);
        QSignalSpy right(list, &FileList::rightButtonReleased);
        // Clicking the current entry again still counts.
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 1));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->fileName(), QStringLiteral("c.jpg"));
        QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(clicked.count(), 4);
        // The right button keeps the selection for the conversion menu.
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, 0));
        QCOMPARE(std::pair(right.count(), clicked.count()),
                 (std::pair<qsizetype, qsizetype>(1, 4)));
        QCOMPARE(list->selectedNames(), (QStringList{"b.jpg", "c.jpg"}));
        // Enter is the window's: it presses the default button.
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Return});
    }

    void folderRowsAndOpening()
    {
        KeySink window;
        auto *list = new FolderList(&window);
        list->setGeometry(0, 0, 200, 400);
        QVERIFY(list->setPath(make({"file.jpg"}, {"Vacances", "archives", ".cache"}) +
                              QDir::separator()));
        QCOMPARE(list->path(), m_path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The root down to the folder, then its visible subfolders (their rows:
        // test_browser_core).
        const int rows = list->model()->rowCount();
        QCOMPARE(rows, int(m_path.count(QDir::separator())) + 3);
        QSignalSpy changed(list, &FolderList::pathChanged);
        // A click only highlights; Enter goes to the window; Space opens.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, rows - 1));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Return});
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->path(), m_path + QDir::separator() + QStringLiteral("Vacances"));
        QCOMPARE(changed.count(), 1);
    }

    void unreadableFoldersKeepTheListsWhereTheyWere()
    {
        FolderList folders;
        FileList files;
        QVERIFY(folders.setPath(make({"file.jpg"}, {"gone"})) && files.setPath(m_path));
        QVERIFY(QDir(m_path).rmdir(QStringLiteral("gone")));
        for (const auto &[target, reason] :
             {std::pair{"gone", "n'existe pas ou plus"}, {"file.jpg", "ce n'est pas un dossier"}}) {
            const QString full = m_path + QDir::separator() + QLatin1String(target);
            for (const Result<> &r : {folders.setPath(full), files.setPath(full)}) {
                const QString error = QString::fromStdString(r.reason());
                QVERIFY2(!r && error.contains("« " + full + " »") && error.contains(reason),
                         qPrintable(error));
            }
        }
        QCOMPARE(folders.path() + files.path(), m_path + m_path);
        // Opened from the list itself, the failure is reported for the window to show.
        QSignalSpy failed(&folders, &FolderList::openFailed);
        QVERIFY(folders.setPath(make({}, {"later"})));
        folders.setCurrentIndex(folders.model()->index(folders.model()->rowCount() - 1, 0));
        QVERIFY(QDir(m_path).rmdir(QStringLiteral("later")));
        folders.openHighlighted();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(folders.path(), m_path);
    }
};

QTEST_MAIN(TestBrowserLists)
#include "tst_browser_lists.moc"
