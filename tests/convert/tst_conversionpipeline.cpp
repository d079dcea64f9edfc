// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion loop over a real folder, with the real codec decoding the
// next file on another thread while it writes: what it converts, where it
// stops, and that what the user sees stays one file after the other.
#include "convert/bmpconverter.h"
#include "platform/fakes/fakeprompter.h"
#include "tests/common/testpictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace velumbra;
using namespace velumbra::test;

class TestConversionPipeline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loop_data();
    void loop();
};

void TestConversionPipeline::loop_data()
{
    // files ("!" not a picture, "/" a folder in the copy's way, a .bmp an older
    // picture) | the whole folder ("*") or the first and third files | read |
    // copies | the start of the last box (a question: answered No). Every row
    // also makes the list grow by each copy as it is written: those must not
    // be converted in turn.
    QTest::addColumn<QString>("row");
    const QString abc = QStringLiteral("a.gif b.jpg! c.gif|");
    QTest::newRow("selection passes the bad file")
        << abc + "|a.gif c.gif|a.bmp c.bmp|Conversion terminée";
    // Would catch a copy written for the file decoded ahead after a failure,
    // or a caption naming it.
    QTest::newRow("whole folder stops at the bad file")
        << abc + "*|a.gif b.jpg|a.bmp|Le fichier « %1/b.jpg » n'a pas pu être lu : Unsupported "
                 "image format.\nLa conversion s'arrête à ce fichier ; les copies écrites avant "
                 "lui restent.";
    QTest::newRow("unwritable copy") << "a.gif b.gif b.bmp/ c.gif|*|a.gif b.gif|a.bmp|La copie "
                                        "« %1/b.bmp » n'a pas pu être écrite : ";
    // Would catch the next file decoded ahead while it is being replaced: the
    // copy of a.gif would then be overwritten with the old a.bmp.
    QTest::newRow("next file is the copy just written")
        << "a.gif a.bmp|*|a.gif a.bmp|a.bmp|Conversion terminée";
    QTest::newRow("answered no")
        << abc + "*|||Voulez-vous convertir en .BMP le contenu du dossier «%1» ?";
}

void TestConversionPipeline::loop()
{
    QFETCH(QString, row);
    const QStringList cells = row.split(QLatin1Char('|'));
    const QString said = cells[4];
    QTemporaryDir dir;
    const QString d = dir.path();
    const QByteArray picture =
        gif({bands(8, 8, {qRgb(200, 0, 0), qRgb(0, 0, 90), qRgb(0, 99, 0)})});
    QStringList entries, made;
    for (QString f : cells[0].split(QLatin1Char(' '))) {
        const bool bad = f.endsWith(QLatin1Char('!')), folder = f.endsWith(QLatin1Char('/'));
        f.chop(bad || folder);
        made << f;
        if (folder) {
            QVERIFY(QDir(d).mkdir(f));
            continue;
        }
        entries << f;
        QVERIFY(f.endsWith(".bmp") ? writeQuadrants(dir.filePath(f), kPictureB, {8, 8})
                                   : writeFile(dir.filePath(f), bad ? "pas une image" : picture));
    }
    const auto scope =
        cells[1] == "*" ? ConversionScope::WholeFolder : ConversionScope::SelectedFiles;
    const bool yes = !said.startsWith(QStringLiteral("Voulez"));

    BmpConverter converter;
    FakePrompter prompter;
    prompter.answers = {yes ? Answer::Yes : Answer::No};
    QStringList read;
    ConversionSteps steps;
    steps.folder = d;
    steps.count = [&entries] { return int(entries.size()); };
    steps.entry = [&entries](int i) { return entries.at(i); };
    steps.isSelected = [](int i) { return i == 0 || i == 2; };
    steps.reading = [&read](const QString &f) { read << QFileInfo(f).fileName(); };
    steps.writing = [&entries](const QString &f) { entries << QFileInfo(f).fileName(); };
    BmpConversion(converter, BoundPrompter(prompter)).run(scope, steps);

    QCOMPARE(prompter.shown.front().text, BmpConversion::question(scope, d));
    const QString last = prompter.shown.back().text;
    QVERIFY2(last.startsWith(QString(said).replace("%1", d)), qPrintable(last));
    QCOMPARE(read, cells[2].split(QLatin1Char(' '), Qt::SkipEmptyParts));
    made += cells[3].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    made.removeDuplicates();
    made.sort();
    QCOMPARE(QDir(d).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
             made);
    if (made.contains("a.bmp"))
        QCOMPARE(QImage(dir.filePath("a.bmp")).convertToFormat(QImage::Format_RGB32),
                 QImage::fromData(picture).convertToFormat(QImage::Format_RGB32));
}

QTEST_GUILESS_MAIN(TestConversionPipeline)
#include "tst_conversionpipeline.moc"
