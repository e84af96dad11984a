#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dm_params.h"
#include "testglobals.h"
#include "testsupport.h"
#include "util/lirvel_xml.h"
#include "util/lirvel_xml_escape.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>

namespace {

const TDateTime Stamp = EncodeDateTime(2011, 5, 13, 14, 30, 0);

void AddScanned(const std::string& path, TDateTime changed = Stamp)
{
    auto item = std::make_unique<TFilesListItem>();
    item->FileName = path;
    item->Changed = changed;
    dm_files->FilesList->Add(std::move(item));
}

// A stored book whose stamp matches unless told otherwise.
std::string Stored(const std::string& path, const std::string& title, TDateTime changed = Stamp,
                   const std::string& element = "Book")
{
    return "<" + element + " File=\"" + EscapeXmlAttr(path) + "\" Changed=\"" + DateTimeToText(changed) +
           "\"><BookName>" + EscapeXmlText(title) + "</BookName><BookState>bsRead</BookState></" + element +
           ">";
}

void Merge(const std::string& children)
{
    const auto doc = TXmlDocument::ParseMemory("<BooksList>" + children + "</BooksList>");
    dmBooks->MergeStoredBooks(doc->DocumentElement());
}

QStringList Titles()
{
    QStringList titles;
    for (int i = 0; i < dmBooks->Count(); ++i)
        titles << QString::fromStdString(dmBooks->Items(i)->BookName);
    return titles;
}

QStringList ScanPaths()
{
    QStringList paths;
    for (int i = 0; i < dm_files->Count(); ++i)
        paths << QString::fromStdString(dm_files->Items(i)->FileName);
    return paths;
}

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void storedBooksFirstThenNewOnesInScanOrder();
    void storedBookWhoseFileHasGoneIsDropped();
    void twoChildrenWithOnePathGiveOneBook();
    void anyChildNamingAFileCounts();
    void sameNameTakesTheFoundItemsInScanOrder();
    void failedRecordLeavesItsFileForTheNewBooks();
    void retryAfterAFailureTakesTheSameItem();
    void fileWithoutTitleIsNotCatalogued();
    void matchesLikeASearchOfTheList();
    void folderConfiguredTwiceGivesTheBookTwice();

  private:
    std::unique_ptr<TGlobals> FGlobals;
};

void TestMerge::init()
{
    FGlobals = std::make_unique<TGlobals>();
}

void TestMerge::cleanup()
{
    FGlobals.reset();
}

void TestMerge::storedBooksFirstThenNewOnesInScanOrder()
{
    AddScanned(TestData("merge/c.fb2"));
    AddScanned("/nowhere/stored.fb2");
    AddScanned(TestData("merge/a.fb2"));
    AddScanned("/nowhere/second stored.fb2");
    Merge(Stored("/nowhere/second stored.fb2", "Вторая сохранённая") +
          Stored("/nowhere/gone.fb2", "Пропавшая") + Stored("/nowhere/stored.fb2", "Сохранённая"));
    QCOMPARE(Titles(), (QStringList{"Вторая сохранённая", "Сохранённая"}));
    QCOMPARE(ScanPaths(), (QStringList{QString::fromStdString(TestData("merge/c.fb2")),
                                       QString::fromStdString(TestData("merge/a.fb2"))}));
    QCOMPARE(FGlobals->Host.Position, 2);

    dmBooks->AddNewBooks();
    QCOMPARE(Titles(), (QStringList{"Вторая сохранённая", "Сохранённая", "Вторая новая", "Первая новая"}));
    QCOMPARE(dmBooks->Items(1)->BookState, bsRead);
    QCOMPARE(dmBooks->Items(2)->BookState, bsNone);
    QCOMPARE(dm_files->Count(), 0);
    // One step per file found, the one that no stored book names included.
    QCOMPARE(FGlobals->Host.Position, 4);
}

void TestMerge::storedBookWhoseFileHasGoneIsDropped()
{
    AddScanned(TestData("merge/a.fb2"));
    AddScanned(TestData("merge/c.fb2"));
    // One file of three found, one of them stored.
    Merge(Stored("/nowhere/gone.fb2", "Пропавшая") + Stored(TestData("merge/a.fb2"), "Сохранённая"));
    QCOMPARE(FGlobals->Host.Position, 1);
    dmBooks->AddNewBooks();
    QCOMPARE(Titles(), (QStringList{"Сохранённая", "Вторая новая"}));
    QCOMPARE(FGlobals->Host.Position, 2);
}

void TestMerge::twoChildrenWithOnePathGiveOneBook()
{
    AddScanned("/nowhere/x.fb2");
    Merge(Stored("/nowhere/x.fb2", "Первая запись") + Stored("/nowhere/x.fb2", "Вторая запись"));
    QCOMPARE(Titles(), QStringList{"Первая запись"});
    QCOMPARE(dm_files->Count(), 0);
    QCOMPARE(FGlobals->Host.Position, 1);
}

void TestMerge::anyChildNamingAFileCounts()
{
    AddScanned("/nowhere/x.fb2");
    AddScanned("/nowhere/y.fb2");
    AddScanned("/nowhere/Y.fb2");
    Merge("<!-- a comment -->text" + Stored("/nowhere/x.fb2", "Не Book", Stamp, "Other") +
          R"(<Book Changed="40676.6041666667"><BookName>Без файла</BookName></Book>)" +
          R"(<Book><BookName>Без атрибутов</BookName></Book>)" + Stored("/nowhere/Y.fb2", "Заглавная Y") +
          Stored("/nowhere/y.FB2", "Другое расширение"));
    QCOMPARE(Titles(), (QStringList{"Не Book", "Заглавная Y"}));
    QCOMPARE(ScanPaths(), QStringList{"/nowhere/y.fb2"});
    QCOMPARE(FGlobals->Host.Position, 2);
}

void TestMerge::sameNameTakesTheFoundItemsInScanOrder()
{
    const TDateTime later = Stamp + 1;
    AddScanned("/nowhere/x.fb2", Stamp);
    AddScanned("/nowhere/z.fb2", Stamp);
    AddScanned("/nowhere/x.fb2", later);
    Merge(Stored("/nowhere/x.fb2", "Первая", Stamp) + Stored("/nowhere/x.fb2", "Вторая", later));
    QCOMPARE(Titles(), (QStringList{"Первая", "Вторая"}));
    QCOMPARE(dmBooks->Items(0)->File.Changed, Stamp);
    QCOMPARE(dmBooks->Items(1)->File.Changed, later);
    QCOMPARE(ScanPaths(), QStringList{"/nowhere/z.fb2"});
}

void TestMerge::failedRecordLeavesItsFileForTheNewBooks()
{
    // Its stamp changed, and reading the file again fails: it cannot be opened.
    const std::string missing = TestData("merge/missing.fb2");
    AddScanned(TestData("merge/a.fb2"));
    AddScanned(missing);
    Merge(Stored(TestData("merge/a.fb2"), "Сохранённая") + Stored(missing, "Изменённая", Stamp - 1));
    QCOMPARE(Titles(), QStringList{"Сохранённая"});
    QCOMPARE(ScanPaths(), QStringList{QString::fromStdString(missing)});
    QCOMPARE(FGlobals->Host.Position, 2);

    dmBooks->AddNewBooks();
    QCOMPARE(Titles(), QStringList{"Сохранённая"});
    QCOMPARE(dm_files->Count(), 0);
    QCOMPARE(FGlobals->Host.Position, 3);
}

void TestMerge::retryAfterAFailureTakesTheSameItem()
{
    AddScanned("/nowhere/x.fb2", Stamp);
    AddScanned("/nowhere/x.fb2", Stamp + 1);
    // The first fails on the first item, which stays; the second takes that same item.
    Merge(Stored("/nowhere/x.fb2", "Изменённая", Stamp - 1) + Stored("/nowhere/x.fb2", "Сохранённая", Stamp));
    QCOMPARE(Titles(), QStringList{"Сохранённая"});
    QCOMPARE(dmBooks->Items(0)->File.Changed, Stamp);
    QCOMPARE(dm_files->Count(), 1);
    QCOMPARE(dm_files->Items(0)->Changed, Stamp + 1);
    QCOMPARE(FGlobals->Host.Position, 2);
}

void TestMerge::fileWithoutTitleIsNotCatalogued()
{
    AddScanned(TestData("storage/not_a_book.fb2"));
    AddScanned(TestData("merge/a.fb2"));
    dmBooks->AddNewBooks();
    QCOMPARE(Titles(), QStringList{"Первая новая"});
    QCOMPARE(FGlobals->Host.Position, 2);
}

// Random lists with repeated paths, against the search the index replaces: for each stored book,
// the first item with its path still in the list.
void TestMerge::matchesLikeASearchOfTheList()
{
    QRandomGenerator random(20110513);
    for (int round = 0; round < 300; ++round) {
        dm_files->Clear();
        dmBooks->Clear();
        FGlobals->Host.Position = 0;
        struct TItem
        {
            std::string Path;
            TDateTime Changed;
        };
        std::vector<TItem> list;
        // Few paths repeat often; many give the index collisions to walk past.
        const int paths = round % 2 == 0 ? 4 : 60;
        const int found = round % 2 == 0 ? random.bounded(12) : random.bounded(80);
        for (int i = 0; i < found; ++i) {
            list.push_back(
                {"/nowhere/p" + std::to_string(random.bounded(paths)) + ".fb2", Stamp + random.bounded(3)});
            AddScanned(list.back().Path, list.back().Changed);
        }
        std::string children;
        QStringList expected;
        int steps = 0;
        const int stored = round % 2 == 0 ? random.bounded(12) : random.bounded(80);
        for (int i = 0; i < stored; ++i) {
            const std::string path = "/nowhere/p" + std::to_string(random.bounded(paths + 1)) + ".fb2";
            const TDateTime changed = Stamp + random.bounded(3);
            const std::string title = "t" + std::to_string(i);
            children += Stored(path, title, changed);
            const auto it =
                std::find_if(list.begin(), list.end(), [&](const TItem& item) { return item.Path == path; });
            if (it == list.end())
                continue;
            ++steps;
            // A changed stamp sends the record to its file, which does not exist: it fails.
            if (it->Changed == changed) {
                expected << QString::fromStdString(path + " " + title + " " + DateTimeToText(changed));
                list.erase(it);
            }
        }
        Merge(children);

        QStringList books;
        for (int i = 0; i < dmBooks->Count(); ++i) {
            const TBookItem* book = dmBooks->Items(i);
            books << QString::fromStdString(book->File.FileName + " " + book->BookName + " " +
                                            DateTimeToText(book->File.Changed));
        }
        QCOMPARE(books, expected);
        QStringList remaining;
        for (const TItem& item : list)
            remaining << QString::fromStdString(item.Path + " " + DateTimeToText(item.Changed));
        QStringList scan;
        for (int i = 0; i < dm_files->Count(); ++i)
            scan << QString::fromStdString(dm_files->Items(i)->FileName + " " +
                                           DateTimeToText(dm_files->Items(i)->Changed));
        QCOMPARE(scan, remaining);
        QCOMPARE(FGlobals->Host.Position, steps);
    }
}

// The whole load: each stored book takes one of the two items the folder gives; the other item is
// read as a new book.
void TestMerge::folderConfiguredTwiceGivesTheBookTwice()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string folder = dir.filePath("Книги").toStdString();
    const std::string path = folder + "/a.fb2";
    WriteTestFile(path, ReadTestFile(TestData("merge/a.fb2")));
    struct stat st
    {
    };
    QCOMPARE(::stat(path.c_str(), &st), 0);
    const std::string config = dir.filePath("lirvel.xml").toStdString();
    WriteTestFile(config, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RoVezuzur>\n<Folders>\n<folder>" +
                              EscapeXmlText(folder) + "</folder>\n<folder>" + EscapeXmlText(folder) +
                              "</folder>\n</Folders>\n<BooksList>\n" +
                              Stored(path, "Сохранённая", UnixTimeToDateTime(st.st_mtime)) +
                              "\n</BooksList>\n</RoVezuzur>\n");
    dmParams->ConfigFileName = config;
    dmParams->LoadConfig();
    QCOMPARE(Titles(), (QStringList{"Сохранённая", "Первая новая"}));
    QCOMPARE(dmBooks->Items(0)->BookState, bsRead);
    QCOMPARE(dmBooks->Items(1)->BookState, bsNone);
    QCOMPARE(dmBooks->Items(1)->File.FileName, path);
    QCOMPARE(FGlobals->Host.Max, 2);
    QCOMPARE(FGlobals->Host.Position, 2);
}

QTEST_GUILESS_MAIN(TestMerge)
#include "test_merge.moc"
