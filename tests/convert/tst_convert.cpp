// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion to BMP on real files: the loop over a folder, every format
// it reads, what it refuses, full disks, and the two popup commands of the
// main window.
#include "app/frmvlb.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "convert/bmpconverter.h"
#include "tests/common/fakecontext.h"
#include "tests/common/testpictures.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using namespace velumbra::test;

namespace {

QByteArray jpeg()
{
    static const QByteArray bytes = encoded(patternPicture(QSize(160, 120), 256, 9), "jpeg", 90);
    return bytes;
}

QByteArray tinyGif()
{
    return gif({patternPicture(QSize(8, 8), 3, 7)});
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

// The conversion of a real folder with scripted answers. The list grows by
// each copy as it is written, as a list that refreshes itself would.
struct FolderRun
{
    BmpConverter converter;
    FakePrompter prompter;
    QStringList read;
    QString current; // what the window would show: the file in hand

    ConversionOutcome run(const QString &folder, QStringList entries, QList<int> selected = {},
                          ConversionScope scope = ConversionScope::WholeFolder)
    {
        ConversionSteps steps;
        steps.folder = folder;
        steps.count = [&entries] { return int(entries.size()); };
        steps.entry = [&entries](int i) { return entries.at(i); };
        steps.isSelected = [&selected](int i) { return selected.contains(i); };
        steps.reading = [this](const QString &f) { read << QFileInfo(current = f).fileName(); };
        steps.writing = [&](const QString &f) { entries << QFileInfo(current = f).fileName(); };
        return BmpConversion(converter, BoundPrompter(prompter)).run(scope, steps);
    }
    [[nodiscard]] QString said() const { return prompter.shown.back().text; }
};

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void loop_data()
    {
        // files ("!" a cut JPEG, "/" a folder in the copy's way) | selected ("*" first: the whole
        // folder) | read | copies | the start of the last box (a question: answered No). Every
        // row also checks that the copies joining the list meanwhile are not converted in turn.
        QTest::addColumn<QString>("row");
        const QString abc = QStringLiteral("a.gif b.jpg! c.gif|");
        QTest::newRow("whole folder")
            << "a.gif c.gif|*|a.gif c.gif|a.bmp c.bmp|Conversion terminée";
        QTest::newRow("selection passes the bad file")
            << abc + "0 2|a.gif c.gif|a.bmp c.bmp|Conversion terminée";
        QTest::newRow("whole folder stops at the bad file")
            << abc + "*2|a.gif b.jpg|a.bmp|Le fichier « %1/b.jpg » n'a pas pu être lu : le fichier "
                     "JPEG est incomplet (tronqué).\nLa conversion s'arrête à ce fichier ; les "
                     "copies écrites avant lui restent.";
        QTest::newRow("unwritable copy") << "a.gif b.gif b.bmp/ c.gif|*|a.gif b.gif|a.bmp|La copie "
                                            "« %1/b.bmp » n'a pas pu être écrite : ";
        QTest::newRow("nothing selected") << abc + "|||Conversion terminée";
        QTest::newRow("answered no")
            << abc + "*|||Voulez-vous convertir en .BMP le contenu du dossier «%1» ?";
    }

    void loop()
    {
        QFETCH(QString, row);
        const QStringList cells = row.split(QLatin1Char('|'));
        const QString files = cells[0], selected = cells[1], read = cells[2], copies = cells[3],
                      said = cells[4];
        const QString d = m_dir->path();
        QStringList entries;
        for (const QString &f : files.split(QLatin1Char(' '))) {
            if (f.endsWith(QLatin1Char('/'))) {
                QVERIFY(QDir(d).mkdir(f.chopped(1)));
                continue;
            }
            entries << f.chopped(f.endsWith(QLatin1Char('!')));
            QVERIFY(writeFile(d + QLatin1Char('/') + entries.last(),
                              f.endsWith(QLatin1Char('!')) ? jpeg().left(jpeg().size() / 2)
                                                           : tinyGif()));
        }
        QList<int> rows;
        for (const QChar c : selected)
            if (c.isDigit())
                rows << c.digitValue();
        const auto scope = selected.startsWith(QLatin1Char('*')) ? ConversionScope::WholeFolder
                                                                 : ConversionScope::SelectedFiles;
        const bool yes = !said.startsWith(QStringLiteral("Voulez"));
        const QStringList before = namesIn(d);
        FolderRun run;
        run.prompter.answers = {yes ? Answer::Yes : Answer::No};
        const ConversionOutcome outcome = run.run(d, entries, rows, scope);

        QCOMPARE(run.prompter.shown.front().text, BmpConversion::question(scope, d));
        QVERIFY2(run.said().startsWith(QString(said).replace("%1", d)), qPrintable(run.said()));
        QCOMPARE(outcome, !yes ? ConversionOutcome::Declined
                          : said == QStringLiteral("Conversion terminée")
                              ? ConversionOutcome::Finished
                              : ConversionOutcome::Stopped);
        QCOMPARE(run.read, read.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QStringList after = before + copies.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        after.sort();
        QCOMPARE(namesIn(d), after);
    }

    void oneFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // named as the row
        QTest::addColumn<QImage>("expected");  // null: refused
        QTest::addColumn<QString>("reason");
        const QImage five = patternPicture(QSize(37, 23), 5, 1);
        const QImage full = patternPicture(QSize(64, 40), 256, 2);
        const QImage sixteen = patternPicture(QSize(33, 17), 16, 3);
        QImage onWhite = five;
        onWhite.setColor(0, qRgb(255, 255, 255));
        const QImage decoded = QImage::fromData(jpeg());
        const QByteArray grey =
            encoded(gradient(50, 30).convertToFormat(QImage::Format_Grayscale8), "jpeg");
        const QImage wide = gradient(31, 7); // odd width: padded rows
        QTest::newRow("256-colours.gif") << gif({full}) << full << "";
        QTest::newRow("transparent-on-white.gif") << gif({five}, 0) << onWhite << "";
        QTest::newRow("animated-first-frame.gif")
            << gif({five, patternPicture(QSize(37, 23), 5, 4)}) << five << "";
        QTest::newRow("rle8.rle") << rleBitmap(full, 8) << full << "";
        QTest::newRow("rle4-onto-itself.bmp") << rleBitmap(sixteen, 4) << sixteen << "";
        QTest::newRow("24-bits-onto-itself.bmp") << encoded(wide, "bmp") << wide << "";
        QTest::newRow("jpeg-by-content.gif") << jpeg() << decoded << "";
        QTest::newRow("bytes-after-end.jpg") << jpeg() + QByteArray(300, 'x') << decoded << "";
        QTest::newRow("stray-byte.jpg") << jpeg().left(2) + 'x' + jpeg().mid(2) << decoded << "";
        QTest::newRow("grey.jpg") << grey << QImage::fromData(grey) << "";

        const QString cut = QStringLiteral("incomplet (tronqué)");
        QByteArray garbled = jpeg();
        for (qsizetype i = 0; i < 16; ++i)
            garbled[garbled.size() / 2 + i] = char(0x5A ^ (i * 37));
        QTest::newRow("half.jpg") << jpeg().left(jpeg().size() / 2) << QImage() << cut;
        QTest::newRow("garbled.jpg") << garbled << QImage() << "endommagé (Corrupt JPEG data";
        QTest::newRow("text.jpg") << QByteArray("texte") << QImage() << "Unsupported image format";
        QTest::newRow("cut-rle8.bmp") << rleBitmap(sixteen, 8).chopped(8) << QImage() << cut;
    }

    void oneFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(QString, reason);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QString source = m_dir->filePath(name);
        const QString copy = m_dir->filePath(name.section(QLatin1Char('.'), 0, 0) + ".bmp");
        QVERIFY(writeFile(source, bytes));
        FolderRun run;
        const ConversionOutcome outcome = run.run(m_dir->path(), {name});
        if (expected.isNull()) { // never written, not even a bitmap over itself
            QCOMPARE(outcome, ConversionOutcome::Stopped);
            QVERIFY2(run.said().startsWith("Le fichier « " + source + " » n'a pas pu être lu : "),
                     qPrintable(run.said()));
            QVERIFY2(run.said().contains(reason), qPrintable(run.said()));
            QVERIFY(run.converter.picture().isNull());
            QCOMPARE(namesIn(m_dir->path()), QStringList{name});
            QCOMPARE(readFile(source), bytes);
            return;
        }
        QCOMPARE(outcome, ConversionOutcome::Finished);
        QCOMPARE(run.current, copy);
        const QByteArray written = readFile(copy);
        QCOMPARE(written.mid(28, 1), QByteArray(1, char(expected.depth() == 8 ? 8 : 24)));
        QCOMPARE(QImage::fromData(written, "BMP").convertToFormat(QImage::Format_RGB32),
                 expected.convertToFormat(QImage::Format_RGB32));
        // Readable by others like any file the user makes, not private like a temporary file.
        QVERIFY(QFileInfo(copy).permissions().testFlag(QFile::ReadOther));
        const QString copyName = QFileInfo(copy).fileName(); // ".bmp" sorts before the others
        QCOMPARE(namesIn(m_dir->path()),
                 (copyName == name ? QStringList{name} : QStringList{copyName, name}));
    }

    // Qt's default allocation limit refuses pictures above 128 MB decoded.
    void largeCameraPicture()
    {
        QImage big(7000, 5000, QImage::Format_RGB32);
        big.fill(qRgb(40, 90, 160));
        QVERIFY(writeFile(m_dir->filePath("big.jpg"), encoded(big, "jpeg", 50)));
        big = QImage();
        BmpConverter converter;
        const Result<> decoded = converter.decode(m_dir->filePath("big.jpg"));
        QVERIFY2(decoded, decoded.reason().c_str());
        QCOMPARE(converter.picture().size(), QSize(7000, 5000));
    }

    // A new copy leaves no temporary file; one replacing an old copy keeps it.
    void fullDisk()
    {
        const QString d = m_dir->path();
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", d}) != 0)
            QSKIP("a full disk needs a small tmpfs, which only root can mount");
        const auto unmount = qScopeGuard([&d] { QProcess::execute("umount", {d}); });
        QImage flat(400, 400, QImage::Format_RGB32); // 480 KB as a BMP, a few KB as a JPEG
        flat.fill(qRgb(200, 10, 10));
        QVERIFY(writeFile(d + "/a.jpg", encoded(flat, "jpeg")));
        for (const QByteArray &old : {QByteArray(), QByteArray("ancienne copie")}) {
            QVERIFY(old.isEmpty() || writeFile(d + "/a.bmp", old));
            const QStringList before = namesIn(d);
            FolderRun run;
            QCOMPARE(run.run(d, {"a.jpg"}), ConversionOutcome::Stopped);
            QCOMPARE(namesIn(d), before);
            QCOMPARE(readFile(d + "/a.bmp"), old);
            QVERIFY2(run.said().contains("n'a pas pu être écrite : "), qPrintable(run.said()));
        }
    }

    void popupCommands_data()
    {
        QTest::addColumn<QString>("copies"); // of a.gif, b.gif, c.gif with a and c selected
        QTest::newRow("Mnu_FichierBMP") << "a.bmp c.bmp";
        QTest::newRow("Mnu_DossierBmp") << "a.bmp b.bmp c.bmp";
    }

    // The commands convert what they say, and leave the last file read in the
    // caption and its copy as the current file.
    void popupCommands()
    {
        QFETCH(QString, copies);
        for (const char *name : {"a.gif", "b.gif", "c.gif"})
            QVERIFY(writeFile(m_dir->filePath(name), tinyGif()));
        // The lists open on the folder the program was started in.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        FakeContext ctx;
        FrmVLB window(ctx.context());
        QDir::setCurrent(previous);
        auto *files = window.findChild<FileList *>("File1");
        const QString d = window.findChild<FolderList *>("Dir1")->path();
        for (int row : {0, 2})
            files->selectionModel()->select(files->model()->index(row, 0),
                                            QItemSelectionModel::Select);
        window.findChild<QAction *>(QTest::currentDataTag())->trigger();
        QCOMPARE(namesIn(d).filter(".bmp").join(' '), copies);
        QCOMPARE(window.windowTitle(), QString::fromUtf8(kCaptionPrefix) + d + "/c.gif");
        QCOMPARE(window.fichierPapierPeint(), d + "/c.bmp");
        QCOMPARE(ctx.prompter.shown.back().text, QStringLiteral("Conversion terminée !"));
        QCOMPARE(files->count(), 3); // filled again only later
    }
};

QTEST_MAIN(TestConvert)
#include "tst_convert.moc"
