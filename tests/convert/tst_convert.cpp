// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion to BMP of real files: every format it reads, what it
// refuses, a full disk, and the main window's popup command.
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

// Bands of @p colours colours of their own, one or more pixels wide.
QImage card(int width, int height, int colours)
{
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table << qRgb(i, 255 - i, i * 37 % 256);
    return bands(width, height, table);
}

QByteArray jpeg()
{
    static const QByteArray bytes = encoded(card(160, 120, 256), "jpeg", 90);
    return bytes;
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // named as the row
        QTest::addColumn<QImage>("expected");  // null: refused
        QTest::addColumn<QString>("reason");
        const QImage five = card(37, 23, 5), full = card(64, 40, 256), sixteen = card(33, 17, 16);
        QImage onWhite = five;
        onWhite.setColor(0, qRgb(255, 255, 255));
        const QByteArray grey =
            encoded(gradient(50, 30).convertToFormat(QImage::Format_Grayscale8), "jpeg");
        const QImage wide = gradient(31, 7); // odd width: padded rows
        QTest::newRow("256-colours.gif") << gif({full}) << full << "";
        QTest::newRow("transparent-on-white.gif") << gif({five}, 0) << onWhite << "";
        QTest::newRow("animated-first-frame.gif")
            << gif({five, five.mirrored(true, false)}) << five << "";
        QTest::newRow("rle8.rle") << rleBitmap(full, 8) << full << "";
        QTest::newRow("rle4-onto-itself.bmp") << rleBitmap(sixteen, 4) << sixteen << "";
        QTest::newRow("24-bits-onto-itself.bmp") << encoded(wide, "bmp") << wide << "";
        // libjpeg warns of a stray byte that costs no pixel.
        QTest::newRow("stray-byte.jpg")
            << jpeg().left(2) + 'x' + jpeg().mid(2) << QImage::fromData(jpeg()) << "";
        QTest::newRow("grey.jpg") << grey << QImage::fromData(grey) << "";

        QByteArray garbled = jpeg();
        for (qsizetype i = 0; i < 16; ++i)
            garbled[garbled.size() / 2 + i] = char(0x5A ^ (i * 37));
        QTest::newRow("half.jpg") << jpeg().left(jpeg().size() / 2) << QImage()
                                  << "incomplet (tronqué)";
        QTest::newRow("garbled.jpg") << garbled << QImage() << "endommagé (Corrupt JPEG data";
    }

    void oneFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(QString, reason);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QTemporaryDir dir;
        const QString source = dir.filePath(name);
        const QString copy = dir.filePath(name.section(QLatin1Char('.'), 0, 0) + ".bmp");
        QVERIFY(writeFile(source, bytes));
        BmpConverter converter;
        const Result<> decoded = converter.decode(source);
        QCOMPARE(bool(decoded), !expected.isNull());
        if (!decoded) {
            QVERIFY2(QString::fromStdString(decoded.reason()).contains(reason),
                     decoded.reason().c_str());
            return;
        }
        QVERIFY(converter.writeBmp(copy));
        const QByteArray written = readFile(copy);
        QCOMPARE(written.mid(28, 1), QByteArray(1, char(expected.depth() == 8 ? 8 : 24)));
        QCOMPARE(QImage::fromData(written, "BMP").convertToFormat(QImage::Format_RGB32),
                 expected.convertToFormat(QImage::Format_RGB32));
        // Readable by others like any file the user makes, not private like a temporary file.
        QVERIFY(QFileInfo(copy).permissions().testFlag(QFile::ReadOther));
        QCOMPARE(namesIn(dir.path()).size(),
                 qsizetype(copy == source ? 1 : 2)); // no temporary file
    }

    // A new copy leaves no temporary file; one replacing an old copy keeps it.
    void fullDisk()
    {
        QTemporaryDir dir;
        const QString d = dir.path();
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", d}) != 0)
            QSKIP("a full disk needs a small tmpfs, which only root can mount");
        const auto unmount = qScopeGuard([&d] { QProcess::execute("umount", {d}); });
        QImage flat(400, 400, QImage::Format_RGB32); // 480 KB as a BMP, a few KB as a JPEG
        flat.fill(qRgb(200, 10, 10));
        QVERIFY(writeFile(d + "/a.jpg", encoded(flat, "jpeg")));
        BmpConverter converter;
        QVERIFY(converter.decode(d + "/a.jpg"));
        for (const QByteArray &old : {QByteArray(), QByteArray("ancienne copie")}) {
            QVERIFY(old.isEmpty() || writeFile(d + "/a.bmp", old));
            const QStringList before = namesIn(d);
            QVERIFY(!converter.writeBmp(d + "/a.bmp"));
            QCOMPARE(namesIn(d), before);
            QCOMPARE(readFile(d + "/a.bmp"), old);
        }
    }

    // The command converts the selected files, and leaves the last file read
    // in the caption and its copy as the current file.
    void popupCommand()
    {
        QTemporaryDir dir;
        for (const char *name : {"a.gif", "b.gif", "c.gif"})
            QVERIFY(writeFile(dir.filePath(name), gif({card(8, 8, 3)})));
        // The lists open on the folder the program was started in.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        FakeContext ctx;
        FrmVLB window(ctx.context());
        QDir::setCurrent(previous);
        auto *files = window.findChild<FileList *>("File1");
        const QString d = window.findChild<FolderList *>("Dir1")->path();
        for (int row : {0, 2})
            files->selectionModel()->select(files->model()->index(row, 0),
                                            QItemSelectionModel::Select);
        window.findChild<QAction *>("Mnu_FichierBMP")->trigger();
        QCOMPARE(namesIn(d).filter(".bmp").join(' '), "a.bmp c.bmp");
        QCOMPARE(window.windowTitle(), QString::fromUtf8(kCaptionPrefix) + d + "/c.gif");
        QCOMPARE(window.fichierPapierPeint(), d + "/c.bmp");
    }
};

QTEST_MAIN(TestConvert)
#include "tst_convert.moc"
