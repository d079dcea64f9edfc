// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/picturepreview.h"
#include "tests/common/testpictures.h"

#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using namespace velumbra::test;

namespace {

// @p bmp with the width its header claims replaced, as a damaged or hostile file has it.
QByteArray withWidth(QByteArray bmp, quint32 width)
{
    for (int i = 0; i < 4; ++i)
        bmp[18 + i] = char((width >> (8 * i)) & 0xFF);
    return bmp;
}

const QSize kTooLarge(-2, -2);

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        if (!writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    // Every card starts with a red band, which the preview's top-left shows
    // as stored. A picture that cannot be shown gives a reason; one too large
    // is refused from its header, before anything is decoded.
    void decodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size"); // empty: refused; kTooLarge: refused from its header
        const QImage card =
            bands(160, 90, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
        const QImage rgb = card.convertToFormat(QImage::Format_RGB32);
        const QByteArray jpeg = encoded(rgb, "jpeg", 95);
        QImage secondFrame = card;
        secondFrame.fill(3);
        const QImage strip = bands(61, 4, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        const QSize wide(160, 90);
        const auto row = [](const char *name, const char *file, const QByteArray &bytes,
                            QSize size) {
            QTest::newRow(name) << QString::fromLatin1(file) << bytes << size;
        };
        row("bmp 24-bit", "a.bmp", encoded(rgb, "bmp"), wide);
        row("bmp rle8", "b.bmp", rleBitmap(card, 8), wide);
        row("rle4 named .rle, odd size", "c.rle", rleBitmap(bands(161, 91, card.colorTable()), 4),
            {161, 91});
        row("gif, first frame", "d.gif", gif({card, secondFrame}), wide);
        row("jpeg progressive", "f.jpeg", encoded(rgb, "jpeg", 95, true), wide);
        row("jpeg exif rotated", "g.jpg", withExifOrientation(jpeg, 6), wide);
        row("jpeg cut in half", "h.jpg", jpeg.left(jpeg.size() / 2), wide);
        row("missing", "", {}, {});
        row("png bomb named .jpg", "n.jpg", pngBomb(60000, 60000), kTooLarge);
        // Once, each of these brought the program down.
        row("rle8 strip 524288 x 4", "o.bmp", withWidth(rleBitmap(strip, 8), 524288), kTooLarge);
        row("rle4, width 61 flipped to 2097213", "p.rle", withWidth(rleBitmap(strip, 4), 2097213),
            kTooLarge);
    }

    void decodes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        const QString path =
            name.isEmpty() ? m_dir.filePath(QStringLiteral("absent.jpg")) : write(name, bytes);
        const PreviewPicture p = decodePreview(path, 1.0);
        QCOMPARE(p.error.contains(QStringLiteral("trop grande")), size == kTooLarge);
        if (!size.isValid() || size.isEmpty()) {
            QVERIFY(!p.size && p.image.isNull() && !p.error.isEmpty());
            return;
        }
        QVERIFY2(p.size, qPrintable(p.error));
        QCOMPARE(QSize(p.size->width, p.size->height), size);
        const PixelSize half = previewPixels(*p.size);
        QCOMPARE(p.image.size(), QSize(half.width, half.height));
        const QRgb got = p.image.pixel(0, 0);
        QVERIFY2(qRed(got) > 215 && qGreen(got) < 40 && qBlue(got) < 40,
                 qPrintable(QString::number(got, 16)));
    }
};

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
