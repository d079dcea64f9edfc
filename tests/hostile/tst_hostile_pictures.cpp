// SPDX-License-Identifier: GPL-3.0-or-later
// Broken and hostile pictures, made here at run time, through the preview and
// the converter: none may crash, hang, leave a temporary file, lose the file
// or pass a cut file for a whole one. Meant above all for the sanitizer build.

#include "browser/picturepreview.h"
#include "convert/bmpconverter.h"
#include "tests/common/testpictures.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace velumbra;
using namespace velumbra::test;

namespace {

void put(QByteArray &b, qsizetype at, std::initializer_list<quint32> values, int bytes, bool big)
{
    for (const quint32 v : values)
        for (int i = 0; i < bytes; ++i)
            b[at++] = char(v >> (8 * (big ? bytes - 1 - i : i)));
}

// @p seed claiming @p w x @p h pixels in every place its format keeps them.
QByteArray resized(QByteArray seed, const QByteArray &format, quint32 w, quint32 h)
{
    if (format == "bmp" || format == "rle")
        put(seed, 18, {w, h}, 4, false);
    if (format == "gif") // the screen, then the first picture after its colour table
        for (int at : {6, 13 + 3 * (2 << (uchar(seed[10]) & 7)) + 8 + 5})
            put(seed, at, {w, h}, 2, false);
    if (format == "png") { // IHDR, and its checksum
        put(seed, 16, {w, h}, 4, true);
        const auto *ihdr = reinterpret_cast<const Bytef *>(seed.constData() + 12);
        put(seed, 29, {quint32(crc32(0, ihdr, 17))}, 4, true);
    }
    if (format == "jpg") // the frame header
        put(seed, std::max(seed.indexOf("\xFF\xC0"), seed.indexOf("\xFF\xC2")) + 5, {h, w}, 2,
            true);
    return seed;
}

} // namespace

class TestHostilePictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void throughPreviewAndConversion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("whole"); // the file it was cut from, if it was

        const QImage card = patternPicture(QSize(40, 30), 16, 7);
        const QImage rgb = gradient(48, 32);
        const std::pair<const char *, QByteArray> seeds[] = {
            {"a.jpg", encoded(rgb, "jpeg")},
            {"b.jpg", encoded(rgb, "jpeg", -1, true)},
            {"c.png", encoded(rgb, "png")},
            {"e.gif", gif({card, card})},
            {"f.bmp", encoded(rgb, "bmp")},
            {"g.bmp", rleBitmap(card, 8)},
            {"h.rle", rleBitmap(card, 4)},
            {"i.bmp", encoded(card.convertToFormat(QImage::Format_Mono), "bmp")},
        };
        QRandomGenerator random(18);
        for (const auto &[name, bytes] : seeds) {
            const QByteArray format = QByteArray(name).right(3);
            for (qsizetype i = 1; i < 24; ++i)
                QTest::addRow("%s cut at %lld", name, qlonglong(bytes.size() * i / 24))
                    << name << bytes.left(bytes.size() * i / 24) << bytes;
            for (int i = 0; i < 16; ++i) {
                QByteArray flipped = bytes;
                const auto at = qsizetype(random.bounded(int(bytes.size())));
                flipped[at] = char(flipped[at] ^ (1 << random.bounded(8)));
                QTest::addRow("%s bit flipped at %lld", name, qlonglong(at))
                    << name << flipped << QByteArray();
            }
            // 16-bit sizes for GIF and JPEG; strips the preview cannot show.
            const quint32 most = format == "gif" || format == "jpg" ? 65535 : 524288;
            for (const auto &[w, h] : {std::pair{most, most}, {most, 2u}, {2u, most}, {0u, 0u}})
                QTest::addRow("%s claiming %u x %u", name, w, h)
                    << name << resized(bytes, format, w, h) << QByteArray();
        }
        for (const char *name : {"j.jpg", "k.gif", "l.bmp", "m.png", "n.rle"})
            for (const QByteArray &bytes :
                 {QByteArray("pas une image\n"), QByteArray(4096, '\0'), QByteArray()})
                QTest::addRow("%s of %lld bytes", name, qlonglong(bytes.size()))
                    << name << bytes << QByteArray();
        for (const auto &[name, size] :
             {std::pair{"o.png", QSize(70000, 1)}, {"p.bmp", {1, 70000}}})
            QTest::newRow(name) << name << encoded(gradient(size.width(), size.height()), name + 2)
                                << QByteArray();
        QTest::newRow("pipe") << "q.jpg" << QByteArray("pipe") << QByteArray();
    }

    void throughPreviewAndConversion()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, whole);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const bool pipe = bytes == "pipe";
        QVERIFY(pipe ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                     : writeFile(path, bytes));

        const PreviewPicture preview = decodePreview(path, 1.0);
        QCOMPARE(preview.size.has_value(), preview.error.isEmpty());
        if (preview.size) {
            const PixelSize half = previewPixels(*preview.size);
            QCOMPARE(preview.image.size(), QSize(half.width, half.height));
        }

        BmpConverter converter;
        const QString copy = name.section(QLatin1Char('.'), 0, 0) + ".bmp";
        QStringList expected{name};
        if (converter.decode(path) && converter.writeBmp(dir.filePath(copy))) {
            QCOMPARE(QImage(dir.filePath(copy), "BMP").size(), converter.picture().size());
            // A cut file either fails or holds every pixel of the whole one.
            BmpConverter reference;
            if (!whole.isEmpty() && QFile::remove(path) && writeFile(path, whole)) {
                QVERIFY(reference.decode(path));
                QCOMPARE(converter.picture(), reference.picture());
            }
            expected << copy;
        } else {
            QVERIFY(pipe || readFile(path) == bytes); // even a bitmap converted onto itself
        }
        expected.removeDuplicates();
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestHostilePictures)
#include "tst_hostile_pictures.moc"
