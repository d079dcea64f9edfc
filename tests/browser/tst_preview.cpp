#include "browser/picturepreview.h"
#include "tests/common/testpictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using namespace velumbra::test;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// @p bmp with the width its header claims replaced, as a damaged or hostile file has it.
QByteArray withWidth(QByteArray bmp, quint32 width)
{
    for (int i = 0; i < 4; ++i)
        bmp[18 + i] = char((width >> (8 * i)) & 0xFF);
    return bmp;
}

QByteArray encoded(const QImage &image, const char *format, int quality = -1,
                   bool progressive = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot encode the test picture: %s", qPrintable(writer.errorString()));
    return buffer.data();
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // Every card starts with a red band, which the preview's top-left shows.
    void decodesEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");

        const QImage card =
            bands(160, 90,
                  {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0),
                   qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)});
        const QImage rgb = card.convertToFormat(QImage::Format_RGB32);
        QImage secondFrame = card;
        secondFrame.fill(7);
        const QSize size(160, 90);
        QTest::newRow("bmp 24-bit") << "a.bmp" << encoded(rgb, "bmp") << size;
        QTest::newRow("bmp rle8") << "b.bmp" << rleBitmap(card, 8) << size;
        QTest::newRow("rle4 named .rle, odd size")
            << "c.rle" << rleBitmap(bands(161, 91, card.colorTable()), 4) << QSize(161, 91);
        QTest::newRow("gif, first frame") << "d.gif" << gif({card, secondFrame}) << size;
        QTest::newRow("jpeg baseline") << "e.jpg" << encoded(rgb, "jpeg", 95) << size;
        QTest::newRow("jpeg progressive") << "f.jpeg" << encoded(rgb, "jpeg", 95, true) << size;
        // Stored sideways with an EXIF orientation: shown as stored, not turned.
        QTest::newRow("jpeg exif rotated")
            << "g.jpg" << withExifOrientation(encoded(rgb, "jpeg", 95), 6) << size;
        QTest::newRow("png named .bmp") << "i.bmp" << encoded(card, "png") << size;
        QTest::newRow("1 x 1") << "j.png" << encoded(card.copy(0, 0, 1, 1), "png") << QSize(1, 1);
    }

    void decodesEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        const QString path = m_dir.filePath(name);
        writeFile(path, bytes);

        const PreviewPicture p = decodePreview(path, 1.0);
        QVERIFY2(p.size.has_value(), qPrintable(p.error));
        QCOMPARE(QSize(p.size->width, p.size->height), size);
        const PixelSize half = previewPixels(*p.size);
        QCOMPARE(p.image.size(), QSize(half.width, half.height));
        const QRgb got = p.image.pixel(0, 0);
        QVERIFY2(qRed(got) > 215 && qGreen(got) < 40 && qBlue(got) < 40,
                 qPrintable(QString::number(got, 16)));
    }

    void refusesWhatItCannotShow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("tooLarge"); // refused from the header, before any decoding

        QTest::newRow("empty file") << "a.jpg" << QByteArray() << false;
        QTest::newRow("text named .jpg") << "b.jpg" << QByteArray("pas une image\n") << false;
        QTest::newRow("text named .rle") << "c.rle" << QByteArray("BM pas une image\n") << false;
        QTest::newRow("png bomb named .jpg") << "e.jpg" << pngBomb(60000, 60000) << true;
        QTest::newRow("gif header only")
            << "f.gif" << QByteArray("GIF89a\x10\x00\x10\x00", 10) << false;
        QTest::newRow("missing") << "" << QByteArray() << false;
        // Once, each of these brought the program down.
        const QImage card = bands(61, 4, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        QTest::newRow("rle8 strip 524288 x 4")
            << "g.bmp" << withWidth(rleBitmap(card, 8), 524288) << true;
        QTest::newRow("rle4, width 61 flipped to 2097213")
            << "h.rle" << withWidth(rleBitmap(card, 4), 2097213) << true;
    }

    void refusesWhatItCannotShow()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, tooLarge);
        QString path = m_dir.filePath(QStringLiteral("absent.jpg"));
        if (!name.isEmpty()) {
            path = m_dir.filePath(name);
            writeFile(path, bytes);
        }
        const PreviewPicture p = decodePreview(path, 1.0);
        QVERIFY(!p.size.has_value());
        QVERIFY(p.image.isNull());
        QVERIFY(!p.error.isEmpty());
        QCOMPARE(p.error.contains(QStringLiteral("trop grande")), tooLarge);
    }

    void truncatedJpegShowsWhatIsThere()
    {
        const QByteArray full = encoded(gradient(640, 480), "jpeg", 90);
        const QString path = m_dir.filePath(QStringLiteral("cut.jpg"));
        writeFile(path, full.left(full.size() / 2));
        const PreviewPicture p = decodePreview(path, 1.0);
        QVERIFY(p.size.has_value());
        QCOMPARE(p.image.size(), QSize(320, 240));
    }

    void scaledDecodeLooksLikeAFullDecodeHalved_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QSize>("decoded");
        const QImage g = gradient(1203, 801);
        QTest::newRow("jpeg") << encoded(g, "jpeg", 92) << 1.0 << QSize(602, 401);
        QTest::newRow("jpeg progressive") << encoded(g, "jpeg", 92, true) << 1.0 << QSize(602, 401);
        QTest::newRow("png") << encoded(g, "png") << 1.0 << QSize(602, 401);
        // On a screen at 150 %, the preview's device pixels.
        QTest::newRow("jpeg at 1.5") << encoded(g, "jpeg", 92) << 1.5 << QSize(903, 601);
        QTest::newRow("png at 2") << encoded(g, "png") << 2.0 << QSize(1203, 801);
    }

    void scaledDecodeLooksLikeAFullDecodeHalved()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(double, ratio);
        QFETCH(QSize, decoded);
        const QString path = m_dir.filePath(QStringLiteral("g.pic"));
        writeFile(path, bytes);
        const PreviewPicture p = decodePreview(path, ratio);
        QVERIFY(p.size.has_value());
        QCOMPARE(p.image.size(), decoded);
        const QImage naive =
            QImage(path).scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double diff = meanDifference(p.image, naive);
        QVERIFY2(diff < 2.0, qPrintable(QString::number(diff)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
