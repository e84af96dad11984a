#include "books/lirvel_books_storage.h"
#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dm_params.h"
#include "testglobals.h"
#include "testsupport.h"
#include "util/lirvel_xml.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// 13 May 2011 14:30:00, as the scan would find it, and its text form.
const TDateTime Stamp = EncodeDateTime(2011, 5, 13, 14, 30, 0);
const double Second = 1.0 / 86400.0;

std::unique_ptr<TBookItem> MakeBook(const std::string& path, TDateTime changed)
{
    auto book = std::make_unique<TBookItem>();
    book->File.FileName = path;
    book->File.Changed = changed;
    return book;
}

QStringList Lines(const TStringList& lines)
{
    QStringList result;
    for (const std::string& line : lines)
        result << QString::fromStdString(line);
    return result;
}

TStringList WrittenLines(const TBookItem& book)
{
    TStringList lines;
    book.WriteBook(lines);
    return lines;
}

// A stored Book element as the configuration file holds it.
struct TStored
{
    explicit TStored(const std::string& xml) : Doc(TXmlDocument::ParseMemory(xml)) {}
    TXmlNode Element() const { return Doc->DocumentElement(); }
    std::unique_ptr<TXmlDocument> Doc;
};

TFilesListItem Scanned(const std::string& path, TDateTime changed)
{
    TFilesListItem item;
    item.FileName = path;
    item.Changed = changed;
    return item;
}

TDateTime FileStamp(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return UnixTimeToDateTime(st.st_mtime);
}

} // namespace

class TestBooksStorage : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void emptyListWritesTheSectionOnly();
    void bookIsWrittenLineByLine();
    void emptyValuesStillWriteTheirLines();
    void valuesAreEscaped();
    void pathThatCannotBeStoredIsLeftOut_data();
    void pathThatCannotBeStoredIsLeftOut();

    void sameStamp_data();
    void sameStamp();
    void everySecondMatchesItsStoredText_data();
    void everySecondMatchesItsStoredText();

    void storedMarks_data();
    void storedMarks();
    void storedTextsAreTakenAsTheyAre();
    void changedStampReadsTheFileAgain_data();
    void changedStampReadsTheFileAgain();
    void changedStampOnAFileThatIsNoBookKeepsTheMarks();
    void changedStampOnAnUnreadableFileFails();

    void restartReadsEveryBookBackIdentical();

  private:
    std::unique_ptr<TGlobals> FGlobals;
};

void TestBooksStorage::init()
{
    FGlobals = std::make_unique<TGlobals>();
}

void TestBooksStorage::cleanup()
{
    FGlobals.reset();
}

void TestBooksStorage::emptyListWritesTheSectionOnly()
{
    TStringList lines;
    dmBooks->WriteBooksList(lines);
    QCOMPARE(Lines(lines), (QStringList{"  <BooksList>", "  </BooksList>"}));
}

void TestBooksStorage::bookIsWrittenLineByLine()
{
    auto book = MakeBook("/home/u/Книги/Пикник.fb2.zip", Stamp);
    book->BookName = "Пикник на обочине";
    book->Genres = {"sf", "adventure"};
    book->AuthorShort = {"Стругацкий Аркадий"};
    book->AuthorLong = {"Стругацкий Аркадий Натанович"};
    book->SerieName = "Миры";
    book->SerieBook = "3";
    book->IsFavorite = true;
    book->BookState = bsRead;
    dmBooks->Books->Add(std::move(book));

    TStringList lines;
    dmBooks->WriteBooksList(lines);
    QCOMPARE(Lines(lines), (QStringList{
                               "  <BooksList>",
                               R"(    <Book File="/home/u/Книги/Пикник.fb2.zip" Changed="40676.6041666667">)",
                               "      <BookName>Пикник на обочине</BookName>",
                               "      <genre>sf</genre>",
                               "      <genre>adventure</genre>",
                               "      <AuthorShort>Стругацкий Аркадий</AuthorShort>",
                               "      <AuthorLong>Стругацкий Аркадий Натанович</AuthorLong>",
                               "      <SerieName>Миры</SerieName>",
                               "      <SerieBook>3</SerieBook>",
                               "      <IsFavorite>True</IsFavorite>",
                               "      <BookState>bsRead</BookState>",
                               "    </Book>",
                               "  </BooksList>",
                           }));
    QCOMPARE(lines.size(), std::size_t(2 + 11));
}

void TestBooksStorage::emptyValuesStillWriteTheirLines()
{
    const auto book = MakeBook("/b/x.fb2", EncodeDateTime(2011, 5, 13));
    book->BookState = static_cast<TBookState>(7);
    QCOMPARE(Lines(WrittenLines(*book)), (QStringList{
                                             R"(    <Book File="/b/x.fb2" Changed="40676">)",
                                             "      <BookName></BookName>",
                                             "      <SerieName></SerieName>",
                                             "      <SerieBook></SerieBook>",
                                             "      <IsFavorite>False</IsFavorite>",
                                             "      <BookState>bsNone</BookState>",
                                             "    </Book>",
                                         }));
}

void TestBooksStorage::valuesAreEscaped()
{
    const auto book = MakeBook(R"(/b/"Tom" & <Jerry>.fb2)", Stamp);
    book->BookName = R"(Tom & Jerry <1> "q")";
    book->Genres = {"a&b"};
    book->AuthorShort = {"<x>"};
    book->AuthorLong = {"y > z"};
    book->SerieName = "&amp;";
    const QStringList lines = Lines(WrittenLines(*book));
    QCOMPARE(
        lines.value(0),
        QString(
            R"(    <Book File="/b/&quot;Tom&quot; &amp; &lt;Jerry&gt;.fb2" Changed="40676.6041666667">)"));
    QCOMPARE(lines.value(1), QString(R"(      <BookName>Tom &amp; Jerry &lt;1&gt; "q"</BookName>)"));
    QCOMPARE(lines.value(2), QString("      <genre>a&amp;b</genre>"));
    QCOMPARE(lines.value(3), QString("      <AuthorShort>&lt;x&gt;</AuthorShort>"));
    QCOMPARE(lines.value(4), QString("      <AuthorLong>y &gt; z</AuthorLong>"));
    QCOMPARE(lines.value(5), QString("      <SerieName>&amp;amp;</SerieName>"));

    // Blanks other than the space would be changed into spaces by the reader inside an attribute.
    const auto tabbed = MakeBook("/b/a\tb\nc\rd.fb2", Stamp);
    QCOMPARE(Lines(WrittenLines(*tabbed)).value(0),
             QString(R"(    <Book File="/b/a&#9;b&#10;c&#13;d.fb2" Changed="40676.6041666667">)"));
}

void TestBooksStorage::pathThatCannotBeStoredIsLeftOut_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("stored");
    QTest::newRow("Cyrillic in UTF-8") << QByteArray("/b/Книга.fb2") << true;
    QTest::newRow("four-byte character") << QByteArray("/b/\xF0\x9F\x93\x96.fb2") << true;
    QTest::newRow("Windows-1251 name") << QByteArray("/b/\xCA\xED\xE8\xE3\xE0.fb2") << false;
    QTest::newRow("cut sequence") << QByteArray("/b/\xD0.fb2") << false;
    QTest::newRow("overlong form") << QByteArray("/b/\xC0\xAF.fb2") << false;
    QTest::newRow("surrogate") << QByteArray("/b/\xED\xA0\x80.fb2") << false;
    QTest::newRow("control character") << QByteArray("/b/\x01.fb2") << false;
}

// A file name that is not UTF-8 would make the whole configuration file unreadable.
void TestBooksStorage::pathThatCannotBeStoredIsLeftOut()
{
    QFETCH(QByteArray, path);
    QFETCH(bool, stored);
    dmBooks->Books->Add(MakeBook("/b/first.fb2", Stamp));
    dmBooks->Books->Add(MakeBook(path.toStdString(), Stamp));
    TStringList lines;
    dmBooks->WriteBooksList(lines);
    QCOMPARE(lines.size(), std::size_t(stored ? 2 + 2 * 7 : 2 + 7));

    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    for (const std::string& line : lines)
        text += line + "\n";
    const auto doc = TXmlDocument::ParseMemory(text);
    QVERIFY(doc);
    if (stored)
        QCOMPARE(doc->DocumentElement().FirstChild().NextSibling().Attribute("File"), path.toStdString());
}

void TestBooksStorage::sameStamp_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("current");
    QTest::addColumn<bool>("same");
    QTest::newRow("stored text of 13 May 2011 14:30:00")
        << TextToDateTime("40676.6041666667") << Stamp << true;
    QTest::newRow("identical") << Stamp << Stamp << true;
    QTest::newRow("stored 0") << 0.0 << Stamp << false;
    QTest::newRow("stored 0, file at day zero") << 0.0 << 0.0 << false;
    QTest::newRow("stored empty text") << TextToDateTime("") << Stamp << false;
    QTest::newRow("one second later") << Stamp + Second << Stamp << false;
    QTest::newRow("one second earlier") << Stamp - Second << Stamp << false;
    QTest::newRow("0.4 s apart: same second") << Stamp + 0.4 * Second << Stamp << true;
    QTest::newRow("0.6 s apart: next second") << Stamp + 0.6 * Second << Stamp << false;
    QTest::newRow("one day later") << Stamp + 1 << Stamp << false;
    QTest::newRow("before day zero") << -1.25 << -1.25 << true;
    QTest::newRow("wild stored value") << 1e300 << Stamp << false;
}

void TestBooksStorage::sameStamp()
{
    QFETCH(double, stored);
    QFETCH(double, current);
    QFETCH(bool, same);
    QCOMPARE(SameStamp(stored, current), same);
}

void TestBooksStorage::everySecondMatchesItsStoredText_data()
{
    QTest::addColumn<QDate>("day");
    QTest::newRow("31 December 1999") << QDate(1999, 12, 31);
    QTest::newRow("13 May 2011") << QDate(2011, 5, 13);
    QTest::newRow("29 February 2024") << QDate(2024, 2, 29);
    QTest::newRow("1 January 2038") << QDate(2038, 1, 1);
}

// Every unchanged file must find its stored stamp again, whatever second it was written in and
// however the stamp of that second was computed: truncated to the hundred-millionth of a day, the
// text form of one computation and another computation fall apart for a few hundred seconds a day.
void TestBooksStorage::everySecondMatchesItsStoredText()
{
    QFETCH(QDate, day);
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(day));
    int mismatches = 0;
    for (int s = 0; s < 86400; ++s) {
        const TDateTime forms[] = {
            EncodeDateTime(day.year(), day.month(), day.day(), s / 3600, s / 60 % 60, s % 60),
            // from seconds since 1 January 1970, day 25569
            ((days - 25569) * 86400.0 + s) / 86400.0 + 25569,
            days + (s * 1000.0) / 86400000.0,
        };
        for (const TDateTime written : forms) {
            const TDateTime stored = TextToDateTime(DateTimeToText(written));
            for (const TDateTime scanned : forms)
                if (!SameStamp(stored, scanned) || SameStamp(stored, scanned + Second) ||
                    SameStamp(stored, scanned - Second))
                    ++mismatches;
        }
    }
    QCOMPARE(mismatches, 0);
}

void TestBooksStorage::storedMarks_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<bool>("favorite");
    QTest::addColumn<int>("state");
    QTest::newRow("True") << "<IsFavorite>True</IsFavorite><BookState>bsDone</BookState>" << true
                          << int(bsDone);
    QTest::newRow("true in small letters") << "<IsFavorite>true</IsFavorite>" << true << int(bsNone);
    QTest::newRow("TRUE") << "<IsFavorite>TRUE</IsFavorite>" << true << int(bsNone);
    QTest::newRow("digit 1") << "<IsFavorite>1</IsFavorite>" << true << int(bsNone);
    QTest::newRow("minus 1") << "<IsFavorite>-1</IsFavorite>" << true << int(bsNone);
    QTest::newRow("digit 0") << "<IsFavorite>0</IsFavorite>" << false << int(bsNone);
    QTest::newRow("False") << "<IsFavorite>False</IsFavorite>" << false << int(bsNone);
    QTest::newRow("yes") << "<IsFavorite>yes</IsFavorite>" << false << int(bsNone);
    QTest::newRow("empty") << "<IsFavorite></IsFavorite>" << false << int(bsNone);
    QTest::newRow("Truex") << "<IsFavorite>Truex</IsFavorite>" << false << int(bsNone);
    QTest::newRow("last one counts") << "<IsFavorite>True</IsFavorite><IsFavorite>False</IsFavorite>" << false
                                     << int(bsNone);
    QTest::newRow("bsread in small letters") << "<BookState>bsread</BookState>" << false << int(bsRead);
    QTest::newRow("bsEdit") << "<BookState>bsEdit</BookState>" << false << int(bsEdit);
    QTest::newRow("unknown word") << "<BookState>reading</BookState>" << false << int(bsNone);
    QTest::newRow("leading blank") << "<BookState> bsRead</BookState>" << false << int(bsNone);
    QTest::newRow("neither element") << "" << false << int(bsNone);
    QTest::newRow("names are case-sensitive")
        << "<isfavorite>True</isfavorite><bookstate>bsRead</bookstate>" << false << int(bsNone);
}

void TestBooksStorage::storedMarks()
{
    QFETCH(QString, children);
    QFETCH(bool, favorite);
    QFETCH(int, state);
    const TStored stored(R"(<Book File="/b/x.fb2" Changed="40676.6041666667">)" + children.toStdString() +
                         "</Book>");
    const auto book = TBookItem::CreateFromStored(stored.Element(), Scanned("/b/x.fb2", Stamp));
    QCOMPARE(book->IsFavorite, favorite);
    QCOMPARE(int(book->BookState), state);
}

void TestBooksStorage::storedTextsAreTakenAsTheyAre()
{
    // Written in an odd order, with repeats and with children that are not read; the file itself is
    // never opened, as its stamp matches (it does not even exist).
    const TStored stored(R"(<Book Changed="40676.6041666667" File="/nowhere/x.fb2">
      <SerieBook>7</SerieBook>
      <genre>sf</genre>
      <AuthorLong>Иванов Иван Иванович</AuthorLong>
      <BookName>first</BookName>
      <Genre>not a genre</Genre>
      <genre>adventure</genre>
      <AuthorShort> </AuthorShort>
      <AuthorShort>Иванов Иван</AuthorShort>
      <Annotation>never read</Annotation>
      <BookName>unknown</BookName>
      <genre/>
      <SerieName><b>inner</b> text</SerieName>
    </Book>)");
    const auto book = TBookItem::CreateFromStored(stored.Element(), Scanned("/nowhere/x.fb2", Stamp));
    QCOMPARE(book->File.FileName, std::string("/nowhere/x.fb2"));
    QCOMPARE(book->File.Changed, Stamp);
    QCOMPARE(book->BookName, std::string("unknown"));
    QCOMPARE(book->Genres, (TStringList{"sf", "adventure"}));
    QCOMPARE(book->AuthorShort, (TStringList{"Иванов Иван"}));
    QCOMPARE(book->AuthorLong, (TStringList{"Иванов Иван Иванович"}));
    QCOMPARE(book->SerieName, std::string());
    QCOMPARE(book->SerieBook, std::string("7"));
    QVERIFY(book->Annotation.empty());

    // Stored empty, it comes back empty: no defaults.
    const TStored empty(R"(<Book File="/nowhere/y.fb2" Changed="40676.6041666667"/>)");
    const auto bare = TBookItem::CreateFromStored(empty.Element(), Scanned("/nowhere/y.fb2", Stamp));
    QVERIFY(bare->BookName.empty());
    QVERIFY(bare->Genres.empty());
    QVERIFY(bare->AuthorShort.empty());
    QVERIFY(bare->AuthorLong.empty());
}

void TestBooksStorage::changedStampReadsTheFileAgain_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::newRow("another stamp") << R"(Changed="40000.5")";
    QTest::newRow("one second off") << R"(Changed="40676.6041782407")";
    QTest::newRow("no stamp") << "";
    QTest::newRow("empty stamp") << R"(Changed="")";
    QTest::newRow("malformed stamp") << R"(Changed="13.05.2011")";
    QTest::newRow("stamp 0") << R"(Changed="0")";
}

void TestBooksStorage::changedStampReadsTheFileAgain()
{
    QFETCH(QString, attributes);
    const std::string path = TestData("storage/changed.fb2");
    const TStored stored("<Book " + attributes.toStdString() + R"( File="x">
      <BookName>Старое название</BookName><genre>other</genre>
      <AuthorShort>Старый Автор</AuthorShort><AuthorLong>Старый Автор А</AuthorLong>
      <SerieName>Старая</SerieName><SerieBook>1</SerieBook>
      <IsFavorite>True</IsFavorite><BookState>bsEdit</BookState></Book>)");
    const auto book = TBookItem::CreateFromStored(stored.Element(), Scanned(path, Stamp));
    QCOMPARE(book->File.FileName, path);
    QCOMPARE(book->File.Changed, Stamp);
    QCOMPARE(book->BookName, std::string("Новое название"));
    QCOMPARE(book->Genres, (TStringList{"adventure", "sf"}));
    QCOMPARE(book->AuthorShort, (TStringList{"Новикова Анна"}));
    QCOMPARE(book->AuthorLong, (TStringList{"Новикова Анна Петровна"}));
    QCOMPARE(book->SerieName, std::string("Новая серия"));
    QCOMPARE(book->SerieBook, std::string("2"));
    QCOMPARE(book->IsFavorite, true);
    QCOMPARE(book->BookState, bsEdit);
}

void TestBooksStorage::changedStampOnAFileThatIsNoBookKeepsTheMarks()
{
    const TStored stored(R"(<Book File="x" Changed="40000"><BookName>Старое</BookName><genre>sf</genre>
      <IsFavorite>1</IsFavorite><BookState>bsRead</BookState></Book>)");
    const auto book =
        TBookItem::CreateFromStored(stored.Element(), Scanned(TestData("storage/not_a_book.fb2"), Stamp));
    QVERIFY(book->BookName.empty());
    QVERIFY(book->Genres.empty());
    QVERIFY(book->AuthorShort.empty());
    QCOMPARE(book->IsFavorite, true);
    QCOMPARE(book->BookState, bsRead);
}

void TestBooksStorage::changedStampOnAnUnreadableFileFails()
{
    const TStored stored(R"(<Book File="x" Changed="40000"><BookName>Старое</BookName></Book>)");
    QVERIFY_THROWS_EXCEPTION(
        std::exception,
        TBookItem::CreateFromStored(stored.Element(), Scanned(TestData("storage/missing.fb2"), Stamp)));
}

// The end-to-end path: the catalogue written at the end of one run is the catalogue of the next,
// as long as the files have not changed.
void TestBooksStorage::restartReadsEveryBookBackIdentical()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string folder = dir.filePath("Книги").toStdString();
    const std::string config = dir.filePath("lirvel.xml").toStdString();
    // None of them is an FB2 document: had any been read again, its texts would be gone.
    const std::string names[] = {R"(Том "1" & <2>.fb2)", "unknown.fb2.zip", "empty.fb2"};
    for (const std::string& name : names)
        WriteTestFile(folder + "/" + name, "not a book");

    dmParams->Folders = {folder};
    dm_files->ScanFolder(folder);
    QCOMPARE(dm_files->Count(), 3);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        auto book = MakeBook(path, FileStamp(path));
        if (name == names[0]) {
            book->BookName = "Tom & Jerry <1>";
            book->Genres = {"sf", "adventure"};
            book->AuthorShort = {"Иванов Иван", "Петров "};
            book->AuthorLong = {"Иванов Иван Иванович", "Петров  "};
            book->SerieName = "A & B";
            book->SerieBook = "12";
            book->IsFavorite = true;
            book->BookState = bsEdit;
        } else if (name == names[1]) {
            book->BookName = "unknown";
            book->Genres = {"other"};
            book->BookState = bsDone;
        }
        dmBooks->Books->Add(std::move(book));
    }
    dm_files->Clear();
    dmParams->ConfigFileName = config;
    dmParams->SaveConfig();
    const std::string written = ReadTestFile(config);

    // The next run.
    FGlobals.reset();
    FGlobals = std::make_unique<TGlobals>();
    dmParams->ConfigFileName = config;
    dmParams->LoadConfig();
    QCOMPARE(dmBooks->Count(), 3);
    QCOMPARE(FGlobals->Host.Max, 3);
    QCOMPARE(FGlobals->Host.Position, 3);

    const TBookItem* first = dmBooks->Items(0);
    QCOMPARE(first->File.FileName, folder + "/" + names[0]);
    QCOMPARE(first->BookName, std::string("Tom & Jerry <1>"));
    QCOMPARE(first->Genres, (TStringList{"sf", "adventure"}));
    QCOMPARE(first->AuthorShort, (TStringList{"Иванов Иван", "Петров "}));
    QCOMPARE(first->AuthorLong, (TStringList{"Иванов Иван Иванович", "Петров  "}));
    QCOMPARE(first->SerieName, std::string("A & B"));
    QCOMPARE(first->SerieBook, std::string("12"));
    QCOMPARE(first->IsFavorite, true);
    QCOMPARE(first->BookState, bsEdit);
    QCOMPARE(dmBooks->Items(1)->BookName, std::string("unknown"));
    QCOMPARE(dmBooks->Items(1)->BookState, bsDone);
    QVERIFY(dmBooks->Items(2)->BookName.empty());
    QVERIFY(dmBooks->Items(2)->Genres.empty());

    // And it is written again exactly as before.
    dmParams->SaveConfig();
    QCOMPARE(QByteArray::fromStdString(ReadTestFile(config)), QByteArray::fromStdString(written));
}

QTEST_GUILESS_MAIN(TestBooksStorage)
#include "test_books_storage.moc"
