// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion loop with the real codec, decoding the next file on another
// thread while it writes: what the user sees must stay one file after the other.
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
    void keepsTheOrderOfEffects_data();
    void keepsTheOrderOfEffects();
};

void TestConversionPipeline::keepsTheOrderOfEffects_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("read");   // the captions, in order
    QTest::addColumn<QStringList>("copies"); // what the folder holds after
    QTest::addColumn<QString>("failure");    // a word of the message, "" when it finishes
    // Would catch a copy written for the file decoded ahead after a failure,
    // or a caption naming it.
    QTest::newRow("unreadable third file")
        << QStringList{"a.png", "b.png", "c.jpg", "d.png"} << QStringList{"a.png", "b.png", "c.jpg"}
        << QStringList{"a.bmp", "a.png", "b.bmp", "b.png", "c.jpg", "d.png"} << "c.jpg";
    QTest::newRow("copy that cannot be written")
        << QStringList{"a.png", "b.png", "c.png"} << QStringList{"a.png", "b.png"}
        << QStringList{"a.bmp", "a.png", "b.bmp", "b.png", "c.png"} << "b.bmp";
    // Would catch the next file decoded ahead while it is being replaced: the
    // copy of a.png would then be overwritten with the old a.bmp.
    QTest::newRow("next file is the copy just written")
        << QStringList{"a.png", "a.bmp"} << QStringList{"a.png", "a.bmp"}
        << QStringList{"a.bmp", "a.png"} << "";
}

void TestConversionPipeline::keepsTheOrderOfEffects()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, read);
    QFETCH(QStringList, copies);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    for (const QString &name : entries) {
        const QString path = dir.filePath(name);
        if (name == "c.jpg")
            QVERIFY(writeFile(path, "not a picture"));
        else
            QVERIFY(writeQuadrants(path, name == "a.bmp" ? kPictureB : kPictureA, {64, 48}));
    }
    if (failure == "b.bmp")
        QVERIFY(QDir(dir.path()).mkdir("b.bmp"));

    BmpConverter converter;
    FakePrompter prompter;
    ConversionSteps steps;
    steps.folder = dir.path();
    steps.count = [&] { return int(entries.size()); };
    steps.entry = [&](int i) { return entries.at(i); };
    steps.isSelected = [](int) { return true; };
    QStringList captions;
    steps.reading = [&](const QString &source) { captions << QFileInfo(source).fileName(); };
    steps.writing = [](const QString &) {};
    const ConversionOutcome outcome =
        BmpConversion(converter, BoundPrompter(prompter)).run(ConversionScope::WholeFolder, steps);

    QCOMPARE(captions, read);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), copies);
    QCOMPARE(outcome, failure.isEmpty() ? ConversionOutcome::Finished : ConversionOutcome::Stopped);
    QVERIFY(prompter.shown.back().text.contains(failure.isEmpty() ? "terminée" : failure));
    QCOMPARE(QImage(dir.filePath("a.bmp")).pixelColor(0, 0), kPictureA[0]);
}

QTEST_GUILESS_MAIN(TestConversionPipeline)
#include "tst_conversionpipeline.moc"
