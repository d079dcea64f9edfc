#include "convert/conversion.h"
#include "platform/fakes/fakeprompter.h"

#include <QTest>

using namespace velumbra;

namespace {

// Records every step of the loop in one log, so a test sees their order.
class ScriptedCodec final : public PictureCodec
{
public:
    QStringList *log = nullptr;
    QString failDecode; // full names that cannot be decoded / written
    QString failWrite;
    std::function<void()> afterWrite;

    Result<> decode(const QString &path) override
    {
        *log << QStringLiteral("decode ") + path;
        if (path != failDecode)
            return Result<>::success();
        return Failure{"Unsupported image format"};
    }
    Result<> writeBmp(const QString &path) override
    {
        *log << QStringLiteral("write ") + path;
        if (afterWrite)
            afterWrite();
        if (path != failWrite)
            return Result<>::success();
        return Failure{"No space left on device"};
    }
};

struct Harness
{
    QStringList log;
    QStringList entries;
    QList<int> selected;
    ScriptedCodec codec;
    FakePrompter prompter;
    int countCalls = 0;

    Harness() { codec.log = &log; }

    ConversionSteps steps(const QString &folder)
    {
        ConversionSteps s;
        s.folder = folder;
        s.count = [this] {
            ++countCalls;
            return int(entries.size());
        };
        s.entry = [this](int i) { return entries.at(i); };
        s.isSelected = [this](int i) { return selected.contains(i); };
        s.reading = [this](const QString &f) { log << QStringLiteral("reading ") + f; };
        s.writing = [this](const QString &f) { log << QStringLiteral("writing ") + f; };
        return s;
    }
};

// The log of one file converted without trouble.
QStringList converted(const QString &folder, const QString &entry, const QString &copy)
{
    const QString source = folder + QLatin1Char('/') + entry;
    return {QStringLiteral("reading ") + source, QStringLiteral("decode ") + source,
            QStringLiteral("writing ") + folder + QLatin1Char('/') + copy,
            QStringLiteral("write ") + folder + QLatin1Char('/') + copy};
}

const QString kDone = QStringLiteral("Velumbra|Conversion terminée !");

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loop_data();
    void loop();
    void question_data();
    void question();
    void countIsReadOnce();
};

void TestConversion::loop_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("failDecode");
    QTest::addColumn<QString>("failWrite");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QString>("lastMessage");

    const int folder = int(ConversionScope::WholeFolder);
    const int selection = int(ConversionScope::SelectedFiles);
    const QString d = QStringLiteral("/data/Images");
    const QStringList abc{QStringLiteral("a.gif"), QStringLiteral("b.jpg"),
                          QStringLiteral("c.jpeg")};
    const QString a = QStringLiteral("a.bmp"), c = QStringLiteral("c.bmp");

    QTest::newRow("selection passes over the unselected middle entry")
        << selection << d << abc << QList<int>{0, 2} << QString() << QString()
        << converted(d, abc[0], a) + converted(d, abc[2], c) << kDone;
    QTest::newRow("whole folder in list order, ignoring the selection")
        << folder << d << abc << QList<int>{1} << QString() << QString()
        << converted(d, abc[0], a) + converted(d, abc[1], QStringLiteral("b.bmp")) +
               converted(d, abc[2], c)
        << kDone;
    QTest::newRow("empty list still ends with the notice")
        << folder << d << QStringList{} << QList<int>{} << QString() << QString() << QStringList{}
        << kDone;
    QTest::newRow("nothing selected still ends with the notice")
        << selection << d << abc << QList<int>{} << QString() << QString() << QStringList{}
        << kDone;
    QTest::newRow("same copy name: both written, the later one last")
        << folder << d << QStringList{QStringLiteral("photo.jpg"), QStringLiteral("photo.gif")}
        << QList<int>{} << QString() << QString()
        << converted(d, QStringLiteral("photo.jpg"), QStringLiteral("photo.bmp")) +
               converted(d, QStringLiteral("photo.gif"), QStringLiteral("photo.bmp"))
        << kDone;

    QStringList stopped = converted(d, abc[0], a);
    stopped << QStringLiteral("reading /data/Images/b.jpg")
            << QStringLiteral("decode /data/Images/b.jpg");
    QTest::newRow("undecodable file stops the loop there")
        << folder << d << abc << QList<int>{} << QStringLiteral("/data/Images/b.jpg") << QString()
        << stopped
        << QStringLiteral("°VLB° Conversion de fichiers|Le fichier « /data/Images/b.jpg » n'a pas "
                          "pu être lu : "
                          "Unsupported image format.\nLa conversion s'arrête à ce fichier ; les "
                          "copies écrites "
                          "avant lui restent.");
    stopped << QStringLiteral("writing /data/Images/b.bmp")
            << QStringLiteral("write /data/Images/b.bmp");
    QTest::newRow("unwritable copy stops the loop there")
        << folder << d << abc << QList<int>{} << QString() << QStringLiteral("/data/Images/b.bmp")
        << stopped
        << QStringLiteral(
               "°VLB° Conversion de fichiers|La copie « /data/Images/b.bmp » n'a pas pu être "
               "écrite : "
               "No space left on device.\nLa conversion s'arrête à ce fichier ; les copies écrites "
               "avant lui restent.");
    QTest::newRow("an unselected bad file is never opened")
        << selection << d << abc << QList<int>{0, 2} << QStringLiteral("/data/Images/b.jpg")
        << QString() << converted(d, abc[0], a) + converted(d, abc[2], c) << kDone;
}

void TestConversion::loop()
{
    QFETCH(int, scope);
    QFETCH(QString, folder);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, selected);
    QFETCH(QString, failDecode);
    QFETCH(QString, failWrite);
    QFETCH(QStringList, expectedLog);
    QFETCH(QString, lastMessage);

    Harness h;
    h.entries = entries;
    h.selected = selected;
    h.codec.failDecode = failDecode;
    h.codec.failWrite = failWrite;
    BmpConversion conversion(h.codec, BoundPrompter(h.prompter));
    const ConversionOutcome outcome = conversion.run(ConversionScope(scope), h.steps(folder));

    QCOMPARE(h.log, expectedLog);
    QCOMPARE(h.prompter.shown.size(), std::size_t(2)); // the question, then one box
    const FakePrompter::Shown &last = h.prompter.shown.back();
    QVERIFY(!last.question);
    QCOMPARE(last.title + QLatin1Char('|') + last.text, lastMessage);
    QCOMPARE(outcome,
             lastMessage == kDone ? ConversionOutcome::Finished : ConversionOutcome::Stopped);
}

void TestConversion::question_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");
    QTest::newRow("folder")
        << int(ConversionScope::WholeFolder) << QStringLiteral("/home/anne/Mes images")
        << QStringLiteral("Voulez-vous convertir en .BMP le contenu du dossier «/home/anne/Mes "
                          "images» ?");
    QTest::newRow("selection") << int(ConversionScope::SelectedFiles) << QStringLiteral("C:\\")
                               << QStringLiteral(
                                      "Voulez-vous convertir en .BMP les fichiers sélectionnés du "
                                      "dossier «C:\\» ?");
}

// Answering No changes nothing: no step of the loop runs, no notice follows.
void TestConversion::question()
{
    QFETCH(int, scope);
    QFETCH(QString, folder);
    QFETCH(QString, text);
    Harness h;
    h.entries = QStringList{QStringLiteral("a.gif")};
    h.selected = {0};
    h.prompter.answers = {Answer::No};
    BmpConversion conversion(h.codec, BoundPrompter(h.prompter));
    QCOMPARE(conversion.run(ConversionScope(scope), h.steps(folder)), ConversionOutcome::Declined);
    QVERIFY(h.log.isEmpty());
    QCOMPARE(h.prompter.shown.size(), std::size_t(1));
    const FakePrompter::Shown &q = h.prompter.shown.front();
    QVERIFY(q.question);
    QCOMPARE(q.buttons, AnswerButtons::YesNo);
    QCOMPARE(q.title, QStringLiteral("°VLB° Conversion de fichiers"));
    QCOMPARE(q.text, text);
}

// Copies that appear in the list while the loop runs are not converted in their turn.
void TestConversion::countIsReadOnce()
{
    Harness h;
    h.entries = QStringList{QStringLiteral("a.gif"), QStringLiteral("b.gif")};
    h.codec.afterWrite = [&h] { h.entries << QStringLiteral("new.bmp"); };
    BmpConversion conversion(h.codec, BoundPrompter(h.prompter));
    QCOMPARE(conversion.run(ConversionScope::WholeFolder, h.steps(QStringLiteral("/d"))),
             ConversionOutcome::Finished);
    QCOMPARE(h.countCalls, 1);
    QCOMPARE(h.log.filter(QStringLiteral("write ")),
             (QStringList{QStringLiteral("write /d/a.bmp"), QStringLiteral("write /d/b.bmp")}));
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
