#include "books/lirvel_book_item.h"
#include "books/lirvel_doc_tree.h"
#include "testsupport.h"
#include "util/lirvel_errors.h"

#include <QCollator>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList ToQt(const TStringList& list)
{
    QStringList result;
    for (const std::string& s : list)
        result << QString::fromStdString(s);
    return result;
}

std::string Book(const std::string& titleInfo)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<FictionBook xmlns:l=\"http://www.w3.org/1999/xlink\" xmlns:fb=\"urn:other\">\n"
           "<description><title-info>" +
           titleInfo +
           "</title-info></description>\n<body><section><p>x</p></section></body></FictionBook>\n";
}

} // namespace

class TestTitleInfo : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir FDir;
    int FCount = 0;

    TFilesListItem WriteBook(const std::string& content)
    {
        TFilesListItem item;
        item.FileName = FDir.filePath(QString("book%1.fb2").arg(++FCount)).toStdString();
        item.Changed = 45000.5;
        WriteTestFile(item.FileName, content);
        return item;
    }

  private slots:
    void initTestCase() { QVERIFY(FDir.isValid()); }

    // The whole record from a book with everything that is read and much that is not.
    void fixture()
    {
        TFilesListItem item;
        item.FileName = TestData("books/title_info.fb2");
        item.Changed = 45123.25;
        const auto book = TBookItem::CreateFromFile(item);
        QCOMPARE(book->File.FileName, item.FileName);
        QCOMPARE(book->File.Changed, item.Changed);
        QVERIFY(&book->File != &item);
        QCOMPARE(QString::fromStdString(book->BookName), QString("Сказки & были"));
        QCOMPARE(ToQt(book->Genres), QStringList({"adventure", "det_classic", "sf"}));
        QCOMPARE(ToQt(book->AuthorShort), QStringList({"Иванова Анна", "Smith John"}));
        QCOMPARE(ToQt(book->AuthorLong), QStringList({"Иванова Анна Сергеевна", "Smith John "}));
        QCOMPARE(QString::fromStdString(book->SerieName), QString("Вторая серия"));
        QCOMPARE(QString::fromStdString(book->SerieBook), QString("2a"));
        QVERIFY(!book->DescriptionLoaded);
        QVERIFY(book->Annotation.empty());
    }

    void rules_data()
    {
        QTest::addColumn<QString>("titleInfo");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("genres");
        QTest::addColumn<QStringList>("shortAuthors");
        QTest::addColumn<QStringList>("longAuthors");
        QTest::addColumn<QString>("serie");
        QTest::addColumn<QString>("number");

        const QStringList unknown{"unknown"};
        const QStringList other{"other"};
        const QString t = "<book-title>T</book-title>";
        const QString g = "<genre>prose</genre>";
        const QString a = "<author><last-name>L</last-name></author>";

        QTest::newRow("author with all three names")
            << "<author><last-name>L</last-name><first-name>F</first-name><middle-name>M</middle-name></"
               "author>" +
                   t + g
            << "T" << QStringList{"prose"} << QStringList{"L F"} << QStringList{"L F M"} << ""
            << "";
        QTest::newRow("author without middle name")
            << "<author><first-name>F</first-name><last-name>L</last-name></author>" + t + g << "T"
            << QStringList{"prose"} << QStringList{"L F"} << QStringList{"L F "} << ""
            << "";
        QTest::newRow("author with a last name only")
            << a + t + g << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("author with a nickname only")
            << "<author><nickname>N</nickname></author>" + t + g << "T" << QStringList{"prose"}
            << QStringList{" "} << QStringList{"  "} << ""
            << "";
        QTest::newRow("two authors in document order, duplicates kept")
            << "<author><last-name>B</last-name></author><author><last-name>A</last-name></author>" + a + a +
                   t + g
            << "T" << QStringList{"prose"} << QStringList{"B ", "A ", "L ", "L "}
            << QStringList{"B  ", "A  ", "L  ", "L  "} << ""
            << "";
        QTest::newRow("names not trimmed")
            << "<author><last-name> L </last-name><first-name>F\tG</first-name></author>" + t + g << "T"
            << QStringList{"prose"} << QStringList{" L  F\tG"} << QStringList{" L  F\tG "} << ""
            << "";
        QTest::newRow("no author") << t + g << "T" << QStringList{"prose"} << unknown << unknown << ""
                                   << "";

        QTest::newRow("genres sorted")
            << "<genre>sf</genre><genre>det_classic</genre><genre>adventure</genre>" + t + a << "T"
            << QStringList{"adventure", "det_classic", "sf"} << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("genres sorted ignoring case")
            << "<genre>Sf</genre><genre>adventure</genre><genre>DET_classic</genre>" + t + a << "T"
            << QStringList{"adventure", "DET_classic", "Sf"} << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("duplicate genres kept")
            << "<genre>sf</genre><genre>sf</genre>" + t + a << "T" << QStringList{"sf", "sf"}
            << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("empty genres skipped") << "<genre/><genre>  \n </genre>" + t + a << "T" << other
                                              << QStringList{"L "} << QStringList{"L  "} << ""
                                              << "";
        QTest::newRow("genre text up to its first inner element")
            << "<genre>sf<b>x</b>tail</genre>" + t + a << "T" << QStringList{"sf"} << QStringList{"L "}
            << QStringList{"L  "} << ""
            << "";
        QTest::newRow("no genre") << t + a << "T" << other << QStringList{"L "} << QStringList{"L  "} << ""
                                  << "";

        QTest::newRow("sequence with name and number")
            << t + g + a + "<sequence name=\"N\" number=\"2\"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "N"
            << "2";
        QTest::newRow("sequence with a number only")
            << t + g + a + "<sequence number=\"2\"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "asd"
            << "2";
        QTest::newRow("sequence with a name only")
            << t + g + a + "<sequence name=\"N\"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "N"
            << "";
        QTest::newRow("sequence without attributes")
            << t + g + a + "<sequence/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "asd"
            << "";
        QTest::newRow("sequence with other attributes only")
            << t + g + a + "<sequence Name=\"N\" fb:name=\"P\"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "asd"
            << "";
        QTest::newRow("sequence number taken as written")
            << t + g + a + "<sequence name=\" N &amp; M \" number=\" 3-4 \"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << " N & M "
            << " 3-4 ";
        QTest::newRow("last sequence wins")
            << t + g + a + "<sequence name=\"A\" number=\"1\"/><sequence number=\"5\"/>"
            << "T" << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << "asd"
            << "5";
        QTest::newRow("no sequence") << t + g + a << "T" << QStringList{"prose"} << QStringList{"L "}
                                     << QStringList{"L  "} << ""
                                     << "";

        QTest::newRow("second book-title wins")
            << "<book-title>One</book-title><book-title>Two</book-title>" + g + a << "Two"
            << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("book-title beginning with an element")
            << "<book-title><b>Bold</b> rest</book-title>" + g + a << "unknown" << QStringList{"prose"}
            << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("book-title text up to its first element")
            << "<book-title>War <b>and</b> peace</book-title>" + g + a << "War " << QStringList{"prose"}
            << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("book-title not trimmed, references resolved")
            << "<book-title>  A &lt;&#x42;&gt; &#1046;  </book-title>" + g + a << "  A <B> Ж  "
            << QStringList{"prose"} << QStringList{"L "} << QStringList{"L  "} << ""
            << "";
        QTest::newRow("empty book-title")
            << "<book-title></book-title>" + g + a << "unknown" << QStringList{"prose"} << QStringList{"L "}
            << QStringList{"L  "} << ""
            << "";

        QTest::newRow("names in other letter case or with a prefix are not found")
            << "<Book-Title>X</Book-Title><fb:book-title>Y</fb:book-title><Genre>sf</Genre><fb:genre>sf</"
               "fb:genre>"
               "<Author><last-name>L</last-name></Author><fb:author><last-name>L</last-name></fb:author>"
               "<author><Last-Name>L</Last-Name><fb:first-name>F</fb:first-name></author>"
               "<Sequence name=\"S\"/><fb:sequence name=\"S\"/>"
            << "unknown" << other << QStringList{" "} << QStringList{"  "} << ""
            << "";
        QTest::newRow("elements below other elements are not read")
            << "<annotation><book-title>X</book-title><genre>sf</genre><author><last-name>L</last-name></"
               "author>"
               "<sequence name=\"S\"/></annotation>"
            << "unknown" << other << unknown << unknown << ""
            << "";
        QTest::newRow("empty title-info") << ""
                                          << "unknown" << other << unknown << unknown << ""
                                          << "";
    }

    void rules()
    {
        QFETCH(QString, titleInfo);
        QFETCH(QString, title);
        QFETCH(QStringList, genres);
        QFETCH(QStringList, shortAuthors);
        QFETCH(QStringList, longAuthors);
        QFETCH(QString, serie);
        QFETCH(QString, number);

        const auto book = TBookItem::CreateFromFile(WriteBook(Book(titleInfo.toStdString())));
        QCOMPARE(QString::fromStdString(book->BookName), title);
        QCOMPARE(ToQt(book->Genres), genres);
        QCOMPARE(ToQt(book->AuthorShort), shortAuthors);
        QCOMPARE(ToQt(book->AuthorLong), longAuthors);
        QCOMPARE(QString::fromStdString(book->SerieName), serie);
        QCOMPARE(QString::fromStdString(book->SerieBook), number);
    }

    // The order is the system locale's, whatever the machine has: compared with the collator
    // itself on codes whose order differs between byte order and collation.
    void genresInLocaleOrder()
    {
        const QStringList codes{"sf_space", "SF", "sfx", "Det", "de", "det-x", "det_classic",
                                "Детектив", "ёж", "ель", "a",   "B",  "_x",    "1"};
        QString titleInfo = "<book-title>T</book-title>";
        for (const QString& c : codes)
            titleInfo += "<genre>" + c + "</genre>";
        const auto book = TBookItem::CreateFromFile(WriteBook(Book(titleInfo.toStdString())));
        const QStringList result = ToQt(book->Genres);
        QCOMPARE(result.size(), codes.size());
        QCollator collator(QLocale::system());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (qsizetype i = 1; i < result.size(); ++i)
            QVERIFY2(collator.compare(result[i - 1], result[i]) <= 0,
                     qPrintable(result[i - 1] + " before " + result[i] + " in " + QLocale::system().name()));
        QStringList expected = codes;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const QString& x, const QString& y) { return collator.compare(x, y) < 0; });
        QCOMPARE(result, expected);
    }

    void missingParts_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("description without title-info")
            << "<FictionBook><description><publish-info><book-name>X</book-name></publish-info></description>"
               "</FictionBook>";
        QTest::newRow("no description")
            << "<FictionBook><body><section><p>x</p></section></body></FictionBook>";
        QTest::newRow("title-info at the root")
            << "<FictionBook><title-info><book-title>X</book-title></title-info>"
               "</FictionBook>";
        QTest::newRow("prefixed description")
            << "<FictionBook "
               "xmlns:fb=\"urn:x\"><fb:description><title-info><book-title>X</book-title></title-info>"
               "</fb:description></FictionBook>";
    }

    void missingParts()
    {
        QFETCH(QString, content);
        const auto book = TBookItem::CreateFromFile(WriteBook(content.toStdString()));
        QCOMPARE(QString::fromStdString(book->BookName), QString("unknown"));
        QCOMPARE(ToQt(book->Genres), QStringList{"other"});
        QCOMPARE(ToQt(book->AuthorShort), QStringList{"unknown"});
        QCOMPARE(ToQt(book->AuthorLong), QStringList{"unknown"});
        QVERIFY(book->SerieName.empty());
        QVERIFY(book->SerieBook.empty());
    }

    // A file that gives false leaves the record as it was: a new one empty, without defaults, and
    // one being restored with what it had.
    void falseLeavesRecord_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content");
        QTest::newRow("another root") << "a.fb2"
                                      << "<html><description><title-info><book-title>X</book-title>"
                                         "</title-info></description></html>";
        QTest::newRow("malformed") << "b.fb2"
                                   << "<FictionBook><description>";
        QTest::newRow("empty file") << "c.fb2"
                                    << "";
        QTest::newRow("other extension")
            << "d.txt" << QString::fromStdString(Book("<book-title>X</book-title>"));
    }

    void falseLeavesRecord()
    {
        QFETCH(QString, name);
        QFETCH(QString, content);
        TFilesListItem item;
        item.FileName = FDir.filePath(name).toStdString();
        WriteTestFile(item.FileName, content.toStdString());

        const auto fresh = TBookItem::CreateFromFile(item);
        QVERIFY(fresh->BookName.empty());
        QVERIFY(fresh->Genres.empty());
        QVERIFY(fresh->AuthorShort.empty());
        QVERIFY(fresh->AuthorLong.empty());
        QVERIFY(fresh->SerieName.empty());
        QVERIFY(fresh->SerieBook.empty());

        TBookItem restored;
        restored.File = item;
        restored.BookName = "Stored";
        restored.Genres = {"sf"};
        restored.SerieName = "S";
        restored.IsFavorite = true;
        restored.BookState = bsRead;
        restored.ReadTitleInfo();
        QCOMPARE(restored.BookName, std::string("Stored"));
        QCOMPARE(restored.Genres, TStringList{"sf"});
        QCOMPARE(restored.SerieName, std::string("S"));
        QVERIFY(restored.IsFavorite);
        QCOMPARE(restored.BookState, bsRead);
    }

    void failurePassesThrough()
    {
        TFilesListItem item;
        item.FileName = FDir.filePath("missing.fb2").toStdString();
        QVERIFY_THROWS_EXCEPTION(EFileError, TBookItem::CreateFromFile(item));
        TBookItem book;
        book.File = item;
        QVERIFY_THROWS_EXCEPTION(EFileError, book.ReadTitleInfo());
        QVERIFY(book.BookName.empty());
        QVERIFY(book.Genres.empty());
    }

    void docTree()
    {
        const auto doc = TXmlDocument::ParseMemory("<r><description><publish-info><publisher>P1</publisher>"
                                                   "<publisher>P2</publisher></publish-info><title-info/>"
                                                   "</description><x>text<y/></x><x><y/>text</x><z/></r>");
        const TXmlNode root = doc->DocumentElement();
        QVERIFY(!FindChildNode(TXmlNode(), "x"));
        QVERIFY(!FindChildNode(root, "missing"));
        QVERIFY(!FindChildNode(root, "#text"));
        QVERIFY(FindChildNode(root, "x").FirstChild().IsElement()); // the last x
        QCOMPARE(GetChildText(TXmlNode(), "x"), std::string());
        QCOMPARE(GetChildText(root, "x"), std::string());
        QCOMPARE(GetChildText(root, "z"), std::string());
        QCOMPARE(GetChildText(root, "missing"), std::string());
        QCOMPARE(GetChildText(GetPublishInfo(root), "publisher"), std::string("P2"));
        QVERIFY(GetTitleInfo(root));
        QCOMPARE(GetTitleInfo(root).Name(), std::string("title-info"));
        QVERIFY(!GetTitleInfo(TXmlNode()));
        QVERIFY(!GetPublishInfo(FindChildNode(root, "x")));
    }
};

QTEST_GUILESS_MAIN(TestTitleInfo)
#include "test_title_info.moc"
