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
#include <QtEndian>

#include <sys/stat.h>

using namespace velumbra;
using namespace velumbra::test;

namespace {

// @p seed claiming @p w x @p h pixels: a bitmap in its header, a JPEG in its
// frame header. The other formats' sizes are read by Qt's decoders alone, and
// the preview's check of them is tested with the preview.
QByteArray resized(QByteArray seed, quint32 w, quint32 h)
{
    if (seed.startsWith("BM")) {
        qToLittleEndian(w, seed.data() + 18);
        qToLittleEndian(h, seed.data() + 22);
        return seed;
    }
    const qsizetype frame = std::max(seed.indexOf("\xFF\xC0"), seed.indexOf("\xFF\xC2")) + 5;
    qToBigEndian(quint16(h), seed.data() + frame);
    qToBigEndian(quint16(w), seed.data() + frame + 2);
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

        const QImage card = bands(40, 30, {qRgb(200, 0, 0), qRgb(0, 9, 90), qRgb(0, 99, 0), 0});
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
            if (!bytes.startsWith("BM") && !bytes.startsWith("\xFF\xD8"))
                continue;
            // 16-bit sizes in a JPEG; strips the preview cannot show.
            const quint32 most = bytes.startsWith("BM") ? 524288 : 65535;
            for (const auto &[w, h] : {std::pair{most, most}, {most, 2u}, {2u, most}, {0u, 0u}})
                QTest::addRow("%s claiming %u x %u", name, w, h)
                    << name << resized(bytes, w, h) << QByteArray();
        }
        for (const char *name : {"j.jpg", "k.gif", "l.bmp", "m.png", "n.rle"})
            for (const QByteArray &bytes :
                 {QByteArray("pas une image\n"), QByteArray(4096, '\0'), QByteArray()})
                QTest::addRow("%s of %lld bytes", name, qlonglong(bytes.size()))
                    << name << bytes << QByteArray();
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
