#include "convert/bmpconverter.h"
#include "platform/fakes/fakeprompter.h"
#include "tests/common/testpictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace velumbra;
using namespace velumbra::test;

namespace {

QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray encoded(const QImage &image, const char *format, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot encode the test picture");
    return bytes;
}

// Smooth colours with some texture: a JPEG of it has real scan data.
QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
    return image;
}

QByteArray jpegBytes()
{
    static const QByteArray bytes = encoded(photo(QSize(160, 120)), "jpeg");
    return bytes;
}

// A byte between the start marker and the first segment, which libjpeg skips.
QByteArray strayByte(const QByteArray &jpeg)
{
    return jpeg.left(2) + 'x' + jpeg.mid(2);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool runTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A small tmpfs over a folder: only root can mount it, so the tests that need
// one skip visibly elsewhere.
struct Tmpfs
{
    Tmpfs(QString where, const QString &size)
        : folder(std::move(where)),
          mounted(runTool("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", folder}))
    {
    }
    ~Tmpfs()
    {
        if (mounted)
            runTool("umount", {folder});
    }
    Tmpfs(const Tmpfs &) = delete;
    Tmpfs &operator=(const Tmpfs &) = delete;
    bool makeReadOnly() const { return runTool("mount", {"-o", "remount,ro", folder}); }

    const QString folder;
    const bool mounted;
};

// The conversion of a whole real folder, with scripted answers.
struct FolderRun
{
    BmpConverter converter;
    FakePrompter prompter;
    QString fichierPapierPeint;

    ConversionOutcome run(const QString &folder, const QStringList &entries)
    {
        ConversionSteps steps;
        steps.folder = folder;
        steps.count = [&entries] { return int(entries.size()); };
        steps.entry = [&entries](int i) { return entries.at(i); };
        steps.isSelected = [](int) { return true; };
        steps.reading = [this](const QString &f) { fichierPapierPeint = f; };
        steps.writing = steps.reading;
        BmpConversion conversion(converter, BoundPrompter(prompter));
        return conversion.run(ConversionScope::WholeFolder, steps);
    }
    [[nodiscard]] QString lastText() const
    {
        return prompter.shown.empty() ? QString() : prompter.shown.back().text;
    }
};

} // namespace

class TestBmpConverter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void formats_data();
    void formats();
    void refused_data();
    void refused();
    void largeCameraPicture();
    void bmpOntoItself();
    void failureInTheMiddle();
    void readOnlyFolder();
    void fullDisk_data();
    void fullDisk();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBmpConverter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestBmpConverter::formats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("expected");
    QTest::addColumn<int>("bits");

    const QImage five = patternPicture(QSize(37, 23), 5, 1);
    const QImage full = patternPicture(QSize(64, 40), 256, 2);
    const QImage sixteen = patternPicture(QSize(33, 17), 16, 3);
    const QImage second = patternPicture(QSize(37, 23), 5, 4);

    QTest::newRow("GIF of 256 colours")
        << QStringLiteral("full.gif") << gif({full}) << rgb(full) << 8;
    QImage onWhite = five;
    onWhite.setColor(0, qRgb(255, 255, 255));
    QTest::newRow("GIF with a transparent colour, laid on white")
        << QStringLiteral("clear.gif") << gif({five}, 0) << rgb(onWhite) << 8;
    QTest::newRow("animated GIF gives its first frame")
        << QStringLiteral("anim.gif") << gif({five, second}) << rgb(five) << 8;
    QTest::newRow("RLE8 bitmap named .rle")
        << QStringLiteral("fond.rle") << rleBitmap(full, 8) << rgb(full) << 8;
    QTest::newRow("RLE4 bitmap") << QStringLiteral("fond4.bmp") << rleBitmap(sixteen, 4)
                                 << rgb(sixteen) << 8;

    const QByteArray jpeg = jpegBytes();
    const QImage decoded = rgb(QImage::fromData(jpeg));
    QTest::newRow("JPEG named .gif is read by content")
        << QStringLiteral("faux.gif") << jpeg << decoded << 24;
    QTest::newRow("JPEG with bytes after its end")
        << QStringLiteral("camera.jpg") << jpeg + QByteArray(300, 'x') << decoded << 24;
    QTest::newRow("JPEG with a stray byte after its start marker")
        << QStringLiteral("stray.jpg") << strayByte(jpeg) << decoded << 24;

    QImage grey(50, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x)
            grey.scanLine(y)[x] = uchar(x * 5 + y);
    const QByteArray greyJpeg = encoded(grey, "jpeg");
    QTest::newRow("grey JPEG") << QStringLiteral("gris.jpg") << greyJpeg
                               << rgb(QImage::fromData(greyJpeg)) << 8;

    QImage translucent(3, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(255, 0, 0, 128));
    translucent.setPixel(1, 0, qRgba(0, 0, 255, 0));
    translucent.setPixel(2, 0, qRgba(10, 20, 30, 255));
    QImage flattened(3, 1, QImage::Format_RGB32);
    flattened.setPixel(0, 0, qRgb(255, 127, 127));
    flattened.setPixel(1, 0, qRgb(255, 255, 255));
    flattened.setPixel(2, 0, qRgb(10, 20, 30));
    QTest::newRow("PNG with alpha, laid on white")
        << QStringLiteral("alpha.png") << encoded(translucent, "png") << flattened << 24;

    const QImage wide = photo(QSize(31, 7)); // odd width: padded rows
    QTest::newRow("24-bit BMP") << QStringLiteral("large.bmp") << encoded(wide, "bmp") << wide
                                << 24;
}

void TestBmpConverter::formats()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, expected);
    QFETCH(int, bits);

    const QString source = m_dir->filePath(name);
    const QString copy = m_dir->filePath(QStringLiteral("copie.bmp"));
    QVERIFY(writeFile(source, bytes));
    BmpConverter converter;
    QString error;
    QVERIFY2(converter.decode(source, &error), qPrintable(error));
    QVERIFY2(converter.writeBmp(copy, &error), qPrintable(error));

    const QByteArray written = readAll(copy);
    QCOMPARE(bmpBitCount(written), bits);
    // Readable by others like any file the user makes, not private like a temporary file.
    QVERIFY(QFileInfo(copy).permissions().testFlag(QFile::ReadOther));
    const QImage result = QImage::fromData(written, "BMP");
    QCOMPARE(result.size(), expected.size());
    QCOMPARE(rgb(result), rgb(expected));
    QCOMPARE(rgb(converter.picture()), rgb(expected));
    QStringList names{QStringLiteral("copie.bmp"), name};
    names.sort();
    QCOMPARE(namesIn(m_dir->path()), names);
}

void TestBmpConverter::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    const QString jpg = QStringLiteral("x.jpg");
    const QString bmp = QStringLiteral("x.bmp"); // a bitmap is converted onto itself
    const QString cut = QStringLiteral("incomplet (tronqué)");
    const QByteArray jpeg = jpegBytes();
    QTest::newRow("JPEG cut in half") << jpg << jpeg.left(jpeg.size() / 2) << cut;
    QTest::newRow("JPEG cut before its end marker") << jpg << jpeg.chopped(2) << cut;
    QTest::newRow("JPEG with a stray byte, cut in half")
        << jpg << strayByte(jpeg).left(jpeg.size() / 2) << cut;
    QByteArray garbled = jpeg;
    for (qsizetype i = 0; i < 16; ++i)
        garbled[jpeg.size() / 2 + i] = char(0x5A ^ (i * 37));
    QTest::newRow("JPEG with garbled data")
        << jpg << garbled << QStringLiteral("endommagé (Corrupt JPEG data");
    QTest::newRow("text named .jpg")
        << jpg << QByteArray("pas une image\n") << QStringLiteral("Unsupported image format");
    QTest::newRow("empty file") << jpg << QByteArray() << QString();
    const QByteArray gifBytes = gif({patternPicture(QSize(20, 20), 4, 5)});
    QTest::newRow("GIF cut in its header") << jpg << gifBytes.left(40) << QString();
    QTest::newRow("GIF cut in its picture") << jpg << gifBytes.left(gifBytes.size() - 40) << cut;
    const QImage card = patternPicture(QSize(30, 20), 16, 6);
    const QByteArray wide = encoded(photo(QSize(31, 7)), "bmp");
    QTest::newRow("BMP missing its last row") << bmp << wide.chopped(20) << cut;
    QTest::newRow("RLE8 cut before its end") << bmp << rleBitmap(card, 8).chopped(8) << cut;
    QTest::newRow("RLE4 cut before its end") << bmp << rleBitmap(card, 4).chopped(8) << cut;
}

// A picture that cannot be read whole is reported with the reason, stops the
// conversion and is never written, not even over itself.
void TestBmpConverter::refused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString source = m_dir->filePath(name);
    QVERIFY(writeFile(source, bytes));
    FolderRun run;
    QCOMPARE(run.run(m_dir->path(), {name}), ConversionOutcome::Stopped);
    QVERIFY2(run.lastText().startsWith(QStringLiteral("Le fichier « ") + source +
                                       QStringLiteral(" » n'a pas pu être lu : ")),
             qPrintable(run.lastText()));
    QVERIFY2(run.lastText().contains(reason), qPrintable(run.lastText()));
    QVERIFY(run.converter.picture().isNull());
    QCOMPARE(namesIn(m_dir->path()), QStringList{name});
    QCOMPARE(readAll(source), bytes);
}

// Qt's default allocation limit refuses pictures above 128 MB decoded.
void TestBmpConverter::largeCameraPicture()
{
    QImage big(7000, 5000, QImage::Format_RGB32);
    big.fill(qRgb(40, 90, 160));
    const QString source = m_dir->filePath(QStringLiteral("appareil.jpg"));
    QVERIFY(writeFile(source, encoded(big, "jpeg", 50)));
    big = QImage();
    BmpConverter converter;
    QString error;
    QVERIFY2(converter.decode(source, &error), qPrintable(error));
    QCOMPARE(converter.picture().size(), QSize(7000, 5000));
}

void TestBmpConverter::bmpOntoItself()
{
    const QImage picture = patternPicture(QSize(21, 13), 7, 6);
    const QString path = m_dir->filePath(QStringLiteral("fond.bmp"));
    QVERIFY(writeFile(path, rleBitmap(picture, 8)));
    FolderRun run;
    QCOMPARE(run.run(m_dir->path(), {QStringLiteral("fond.bmp")}), ConversionOutcome::Finished);
    QCOMPARE(rgb(QImage(path)), rgb(picture));
    QCOMPARE(bmpBitCount(readAll(path)), 8);
    QCOMPARE(namesIn(m_dir->path()), QStringList{QStringLiteral("fond.bmp")});
    QCOMPARE(run.fichierPapierPeint, path);
}

// The copies before the failing file stay, the existing target of the
// failing one is untouched, and nothing after it is written.
void TestBmpConverter::failureInTheMiddle()
{
    const QString d = m_dir->path();
    QVERIFY(writeFile(d + QStringLiteral("/a.gif"), gif({patternPicture(QSize(8, 8), 3, 7)})));
    QVERIFY(writeFile(d + QStringLiteral("/b.jpg"), jpegBytes().left(jpegBytes().size() / 2)));
    QVERIFY(writeFile(d + QStringLiteral("/b.bmp"), "ancienne copie"));
    QVERIFY(writeFile(d + QStringLiteral("/c.gif"), gif({patternPicture(QSize(8, 8), 3, 8)})));
    FolderRun run;
    QCOMPARE(
        run.run(d, {QStringLiteral("a.gif"), QStringLiteral("b.jpg"), QStringLiteral("c.gif")}),
        ConversionOutcome::Stopped);
    QCOMPARE(bmpBitCount(readAll(d + QStringLiteral("/a.bmp"))), 8);
    QCOMPARE(readAll(d + QStringLiteral("/b.bmp")), QByteArray("ancienne copie"));
    QCOMPARE(namesIn(d),
             QStringList({QStringLiteral("a.bmp"), QStringLiteral("a.gif"), QStringLiteral("b.bmp"),
                          QStringLiteral("b.jpg"), QStringLiteral("c.gif")}));
    QVERIFY2(run.lastText().contains(d + QStringLiteral("/b.jpg")), qPrintable(run.lastText()));
    QCOMPARE(run.prompter.shown.back().title, QStringLiteral("°VLB° Conversion de fichiers"));
    QCOMPARE(run.fichierPapierPeint, d + QStringLiteral("/b.jpg"));
}

void TestBmpConverter::readOnlyFolder()
{
    const QString d = m_dir->filePath(QStringLiteral("lecture seule"));
    QVERIFY(QDir().mkpath(d));
    Tmpfs tmpfs(d, QStringLiteral("1m"));
    QVERIFY(writeFile(d + QStringLiteral("/a.gif"), gif({patternPicture(QSize(8, 8), 3, 9)})));
    if (!(tmpfs.mounted && tmpfs.makeReadOnly()))
        QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(d + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("the folder stays writable: root without the right to mount a tmpfs");
    }
    FolderRun run;
    const ConversionOutcome outcome = run.run(d, {QStringLiteral("a.gif")});
    QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(outcome, ConversionOutcome::Stopped);
    QCOMPARE(namesIn(d), QStringList{QStringLiteral("a.gif")});
    QVERIFY2(run.lastText().startsWith(QStringLiteral("La copie « ") + d +
                                       QStringLiteral("/a.bmp » n'a pas pu "
                                                      "être écrite : ")),
             qPrintable(run.lastText()));
}

void TestBmpConverter::fullDisk_data()
{
    QTest::addColumn<bool>("replacing");
    QTest::newRow("new copy") << false;
    QTest::newRow("replacing a copy") << true;
}

void TestBmpConverter::fullDisk()
{
    QFETCH(bool, replacing);
    const QString d = m_dir->filePath(QStringLiteral("plein"));
    QVERIFY(QDir().mkpath(d));
    Tmpfs tmpfs(d, QStringLiteral("64k"));
    if (!tmpfs.mounted)
        QSKIP("a full disk needs a small tmpfs, which only root can mount");
    QImage flat(400, 400, QImage::Format_RGB32); // 480 KB as a BMP, a few KB as a JPEG
    flat.fill(qRgb(200, 10, 10));
    QVERIFY(writeFile(d + QStringLiteral("/a.jpg"), encoded(flat, "jpeg")));
    if (replacing)
        QVERIFY(writeFile(d + QStringLiteral("/a.bmp"), "ancienne copie"));
    FolderRun run;
    QCOMPARE(run.run(d, {QStringLiteral("a.jpg")}), ConversionOutcome::Stopped);
    if (replacing) {
        QCOMPARE(readAll(d + QStringLiteral("/a.bmp")), QByteArray("ancienne copie"));
        QCOMPARE(namesIn(d), QStringList({QStringLiteral("a.bmp"), QStringLiteral("a.jpg")}));
    } else {
        QCOMPARE(namesIn(d), QStringList{QStringLiteral("a.jpg")});
    }
    QVERIFY2(run.lastText().contains(QStringLiteral("n'a pas pu être écrite : ")),
             qPrintable(run.lastText()));
}

QTEST_GUILESS_MAIN(TestBmpConverter)
#include "tst_bmpconverter.moc"
