#include "books/lirvel_dm_books.h"
#include "books/lirvel_tree_list.h"
#include "testglobals.h"

#include <QTest>
#include <functional>
#include <random>

namespace {

struct TTestBook
{
    std::string Title;
    TStringList Authors;
    TStringList Genres;
    std::string Serie;
    std::string Number;
    QDate Changed; // invalid: a day long ago
    bool Favorite = false;
    TBookState State = bsNone;
    std::string Path; // empty: made from the title
};

// One line per row: indentation by level, caption, count text in brackets when set, image, tag.
void Outline(const TTreeRow* parent, int level, QStringList& lines)
{
    for (int i = 0; i < parent->ChildCount(); ++i) {
        const TTreeRow* row = parent->Child(i);
        QString line = QString(level * 2, ' ') + QString::fromStdString(row->Caption());
        if (!row->Text(1).empty())
            line += " (" + QString::fromStdString(row->Text(1)) + ")";
        line += QString(" #%1 t%2").arg(row->ImageIndex()).arg(row->Tag());
        lines << line;
        Outline(row, level + 1, lines);
    }
}

// Only the captions and count texts.
void Names(const TTreeRow* parent, int level, QStringList& lines)
{
    for (int i = 0; i < parent->ChildCount(); ++i) {
        const TTreeRow* row = parent->Child(i);
        QString line = QString(level * 2, ' ') + QString::fromStdString(row->Caption());
        if (!row->Text(1).empty())
            line += " (" + QString::fromStdString(row->Text(1)) + ")";
        lines << line;
        Names(row, level + 1, lines);
    }
}

void Dump(const QStringList& lines)
{
    for (const QString& line : lines)
        qDebug().noquote() << line;
}

#define COMPARE_LINES(actual, expected)                                                                      \
    do {                                                                                                     \
        const QStringList actualLines = (actual);                                                            \
        if (actualLines != (expected))                                                                       \
            Dump(actualLines);                                                                               \
        QCOMPARE(actualLines, (expected));                                                                   \
    } while (false)

const TTreeRow* TopGroup(const TTreeList& tree, const char* caption)
{
    for (int i = 0; i < tree.Root()->ChildCount(); ++i)
        if (tree.Root()->Child(i)->Caption() == caption)
            return tree.Root()->Child(i);
    return nullptr;
}

} // namespace

class TestTreeBuilder : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void emptyCatalogue();
    void windowlessHostBuildsNothing();
    void oneFavouriteBeingRead();
    void authorCaptionsIgnoreAsciiCaseOnly();
    void dayBands_data();
    void dayBands();
    void firstDayOfMonth();
    void favouriteClearedAndSetAgain();
    void readToEdit();
    void genreListedTwice();
    void countTexts();
    void samePathSharesRows();
    void expandedStateKept();
    void badSeriesNumberDoesNotStopTheBuild();
    void singleBookAfterMidnight();
    void manySingleBookCallsKeepCountsAndOrder();

  private:
    TBookItem* Add(const TTestBook& fields);
    TBookItem* Add(std::string title, TStringList authors = {}, TStringList genres = {},
                   std::string serie = {}, std::string number = {}, QDate changed = {}, bool favorite = false,
                   TBookState state = bsNone, std::string path = {});
    QStringList Lines() const;
    QStringList NameLines() const;

    std::unique_ptr<TGlobals> FGlobals;
    std::unique_ptr<TTreeList> FTree;
};

void TestTreeBuilder::init()
{
    FGlobals = std::make_unique<TGlobals>();
    FTree = std::make_unique<TTreeList>();
    FGlobals->Host.Tree = FTree.get();
    FGlobals->Host.TodayDate = QDate(2023, 11, 15); // a Wednesday
}

void TestTreeBuilder::cleanup()
{
    FTree.reset();
    FGlobals.reset();
}

TBookItem* TestTreeBuilder::Add(const TTestBook& fields)
{
    auto book = std::make_unique<TBookItem>();
    book->BookName = fields.Title;
    book->AuthorShort = fields.Authors;
    for (const std::string& author : fields.Authors)
        book->AuthorLong.push_back(author + " Long");
    book->Genres = fields.Genres;
    book->SerieName = fields.Serie;
    book->SerieBook = fields.Number;
    const QDate changed = fields.Changed.isValid() ? fields.Changed : QDate(2020, 1, 1);
    book->File.Changed = EncodeDateTime(changed.year(), changed.month(), changed.day(), 13, 30);
    book->File.FileName = fields.Path.empty() ? "/books/" + fields.Title + ".fb2" : fields.Path;
    book->IsFavorite = fields.Favorite;
    book->BookState = fields.State;
    return dmBooks->Books->Add(std::move(book));
}

TBookItem* TestTreeBuilder::Add(std::string title, TStringList authors, TStringList genres, std::string serie,
                                std::string number, QDate changed, bool favorite, TBookState state,
                                std::string path)
{
    TTestBook fields;
    fields.Title = std::move(title);
    fields.Authors = std::move(authors);
    fields.Genres = std::move(genres);
    fields.Serie = std::move(serie);
    fields.Number = std::move(number);
    fields.Changed = changed;
    fields.Favorite = favorite;
    fields.State = state;
    fields.Path = std::move(path);
    return Add(fields);
}

QStringList TestTreeBuilder::Lines() const
{
    QStringList lines;
    Outline(FTree->Root(), 0, lines);
    return lines;
}

QStringList TestTreeBuilder::NameLines() const
{
    QStringList lines;
    Names(FTree->Root(), 0, lines);
    return lines;
}

void TestTreeBuilder::emptyCatalogue()
{
    dmBooks->BuildTree(nullptr);
    QCOMPARE(FTree->Root()->ChildCount(), 0);
    QCOMPARE(FTree->RowCount(), 0);
    QVERIFY(!FTree->Updating());
}

void TestTreeBuilder::windowlessHostBuildsNothing()
{
    Add("Книга", {"Автор"}, {"sf"});
    FGlobals->Host.Tree = nullptr;
    dmBooks->BuildTree(nullptr);
    QCOMPARE(FTree->RowCount(), 0);
}

void TestTreeBuilder::oneFavouriteBeingRead()
{
    Add("Книга", {"Автор Один"}, {}, "", "", QDate(2023, 11, 15), true, bsRead);
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(Lines(), QStringList({
                               "Избранные (1) #13 t1",
                               "  Книга #4 t1",
                               "Новые (1) #16 t2",
                               "  Сегодня (1) #20 t1",
                               "    Книга #4 t1",
                               "Читаемые (1) #17 t3",
                               "  Книга #4 t1",
                               "Авторы (1) #14 t5",
                               "  Автор Один (1) #15 t0",
                               "    Книга #4 t1",
                           }));
    const TTreeRow* author = TopGroup(*FTree, "Авторы")->Child(0);
    QCOMPARE(author->Child(0)->Data(), dmBooks->Items(0));
    QCOMPARE(author->Child(0)->Text(2), std::string("Автор Один Long"));
    for (int i = 0; i < FTree->Root()->ChildCount(); ++i)
        QVERIFY(!FTree->Root()->Child(i)->Expanded());
}

void TestTreeBuilder::authorCaptionsIgnoreAsciiCaseOnly()
{
    Add("One", {"Smith"}, {});
    Add("Two", {"SMITH"}, {});
    Add("Three", {"Иванов"}, {});
    Add("Four", {"иванов"}, {});
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(NameLines(), QStringList({
                                   "Авторы (3 (4))",
                                   "  Smith (2)",
                                   "    One",
                                   "    Two",
                                   "  Иванов (1)",
                                   "    Three",
                                   "  иванов (1)",
                                   "    Four",
                               }));
}

void TestTreeBuilder::dayBands_data()
{
    QTest::addColumn<QDate>("changed");
    QTest::addColumn<QString>("band");

    QTest::newRow("today") << QDate(2023, 11, 15) << "Сегодня";
    QTest::newRow("yesterday") << QDate(2023, 11, 14) << "Вчера";
    QTest::newRow("monday this week") << QDate(2023, 11, 13) << "На этой неделе";
    QTest::newRow("sunday last week") << QDate(2023, 11, 12) << "На прошлой неделе";
    QTest::newRow("monday last week") << QDate(2023, 11, 6) << "На прошлой неделе";
    QTest::newRow("sunday before last week") << QDate(2023, 11, 5) << "В этом месяце";
    QTest::newRow("first of the month") << QDate(2023, 11, 1) << "В этом месяце";
    QTest::newRow("tomorrow") << QDate(2023, 11, 16) << "На этой неделе";
    QTest::newRow("sunday this week") << QDate(2023, 11, 19) << "На этой неделе";
    QTest::newRow("next monday") << QDate(2023, 11, 20) << "В этом месяце";
    QTest::newRow("last day of the month") << QDate(2023, 11, 30) << "В этом месяце";
    QTest::newRow("a year earlier") << QDate(2022, 11, 15) << "";
    QTest::newRow("previous month") << QDate(2023, 10, 31) << "";
    QTest::newRow("next month") << QDate(2023, 12, 1) << "";
}

void TestTreeBuilder::dayBands()
{
    QFETCH(QDate, changed);
    QFETCH(QString, band);
    Add("Книга", {}, {}, "", "", changed);
    dmBooks->BuildTree(nullptr);
    if (band.isEmpty()) {
        QCOMPARE(FTree->Root()->ChildCount(), 0);
        return;
    }
    COMPARE_LINES(NameLines(), QStringList({"Новые (1)", "  " + band + " (1)", "    Книга"}));
}

void TestTreeBuilder::firstDayOfMonth()
{
    // Friday 1 March 2024: yesterday lies in February, in the current week.
    FGlobals->Host.TodayDate = QDate(2024, 3, 1);
    Add("Yesterday", {}, {}, "", "", QDate(2024, 2, 29));
    Add("Today", {}, {}, "", "", QDate(2024, 3, 1));
    Add("Sunday", {}, {}, "", "", QDate(2024, 3, 3));
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(NameLines(), QStringList({"Новые (2)", "  Сегодня (1)", "    Today", "  На этой неделе (1)",
                                            "    Sunday"}));

    // Weeks across the turn of the year follow ISO 8601: Sunday 3 January 2021 lies in week 53 of
    // 2020, together with Friday the 1st.
    cleanup();
    init();
    FGlobals->Host.TodayDate = QDate(2021, 1, 3);
    Add("Friday", {}, {}, "", "", QDate(2021, 1, 1));
    Add("Monday", {}, {}, "", "", QDate(2021, 1, 4));
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(NameLines(), QStringList({"Новые (2)", "  На этой неделе (1)", "    Friday",
                                            "  В этом месяце (1)", "    Monday"}));
}

void TestTreeBuilder::favouriteClearedAndSetAgain()
{
    TBookItem* book = Add("Любимая", {"Автор"}, {}, "", "", QDate(), true);
    Add("Другая", {"Автор"}, {});
    dmBooks->BuildTree(nullptr);
    QCOMPARE(FTree->Root()->Child(0)->Caption(), std::string("Избранные"));
    FTree->Expand(FTree->Root()->Child(0));

    book->IsFavorite = false;
    dmBooks->BuildTree(book);
    COMPARE_LINES(NameLines(), QStringList({"Авторы (1 (2))", "  Автор (2)", "    Другая", "    Любимая"}));

    book->IsFavorite = true;
    dmBooks->BuildTree(book);
    COMPARE_LINES(NameLines(), QStringList({"Избранные (1)", "  Любимая", "Авторы (1 (2))", "  Автор (2)",
                                            "    Другая", "    Любимая"}));
    const TTreeRow* favorites = FTree->Root()->Child(0);
    QCOMPARE(favorites->Caption(), std::string("Избранные"));
    QVERIFY(!favorites->Expanded());
    QCOMPARE(favorites->ImageIndex(), 13);
    QCOMPARE(favorites->Tag(), 1);
}

void TestTreeBuilder::readToEdit()
{
    TBookItem* book = Add("Книга", {"Автор"}, {"sf"}, "Серия", "", QDate(2023, 11, 1), false, bsRead);
    Add("Другая", {"Автор"}, {}, "Серия", "", QDate(), false, bsRead);
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(Lines(), QStringList({
                               "Новые (1) #16 t2",
                               "  В этом месяце (1) #8 t5",
                               "    Книга #4 t1",
                               "Читаемые (2) #17 t3",
                               "  Другая #4 t1",
                               "  Книга #4 t1",
                               "Авторы (1 (2)) #14 t5",
                               "  Автор (2) #15 t0",
                               "    Другая #4 t1",
                               "    Книга #4 t1",
                               "Жанры (1) #19 t6",
                               "  Научная Фантастика (1) #11 t0",
                               "    Книга #4 t1",
                               "Серии (1 (2)) #18 t7",
                               "  Серия (2) #11 t0",
                               "    Другая #4 t1",
                               "    Книга #4 t1",
                           }));

    book->BookState = bsEdit;
    dmBooks->BuildTree(book);
    // Within the series the tag 0 of a book in work now comes before the tag 1 of the other.
    COMPARE_LINES(Lines(), QStringList({
                               "Новые (1) #16 t2",
                               "  В этом месяце (1) #8 t5",
                               "    Книга #6 t0",
                               "Читаемые (1) #17 t3",
                               "  Другая #4 t1",
                               "В работе (1) #12 t4",
                               "  Книга #6 t0",
                               "Авторы (1 (2)) #14 t5",
                               "  Автор (2) #15 t0",
                               "    Книга #6 t0",
                               "    Другая #4 t1",
                               "Жанры (1) #19 t6",
                               "  Научная Фантастика (1) #11 t0",
                               "    Книга #6 t0",
                               "Серии (1 (2)) #18 t7",
                               "  Серия (2) #11 t0",
                               "    Книга #6 t0",
                               "    Другая #4 t1",
                           }));
}

void TestTreeBuilder::genreListedTwice()
{
    Add("Twice", {"A", "A"}, {"sf", "sf", "SF"});
    Add("Fantasy", {}, {"romance_fantasy", "sf_fantasy"});
    Add("Unknown", {}, {"sf_postapocalyptic"});
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(NameLines(), QStringList({
                                   "Авторы (1)",
                                   "  A (1)",
                                   "    Twice",
                                   "Жанры (3)",
                                   "  sf_postapocalyptic (1)",
                                   "    Unknown",
                                   "  Научная Фантастика (1)",
                                   "    Twice",
                                   "  Фэнтези (1)",
                                   "    Fantasy",
                               }));
}

void TestTreeBuilder::countTexts()
{
    // Four favourites; twelve authors holding thirty book rows; two bands holding five books;
    // three series of one book each.
    int serial = 0;
    for (int author = 0; author < 12; ++author) {
        for (int b = 0; b < (author < 6 ? 3 : 2); ++b) {
            ++serial;
            TTestBook fields;
            fields.Title = "Book " + std::to_string(serial);
            fields.Authors = {"Author " + std::to_string(author)};
            fields.Favorite = serial <= 4;
            if (serial <= 5)
                fields.Changed = serial % 2 ? QDate(2023, 11, 15) : QDate(2023, 11, 1);
            if (serial <= 3)
                fields.Serie = "Serie " + std::to_string(serial);
            Add(fields);
        }
    }
    QCOMPARE(serial, 30);
    dmBooks->BuildTree(nullptr);
    QCOMPARE(TopGroup(*FTree, "Избранные")->Text(1), std::string("4"));
    QCOMPARE(TopGroup(*FTree, "Авторы")->Text(1), std::string("12 (30)"));
    QCOMPARE(TopGroup(*FTree, "Новые")->Text(1), std::string("2 (5)"));
    QCOMPARE(TopGroup(*FTree, "Новые")->Child(0)->Text(1), std::string("3"));
    QCOMPARE(TopGroup(*FTree, "Серии")->Text(1), std::string("3"));
    QCOMPARE(TopGroup(*FTree, "Авторы")->Child(0)->Text(1), std::string("3"));
    // Book rows get no count text.
    QCOMPARE(TopGroup(*FTree, "Избранные")->Child(0)->Text(1), std::string());

    // A single-book call counts the whole tree again.
    TBookItem* book = dmBooks->Items(29);
    book->IsFavorite = true;
    dmBooks->BuildTree(book);
    QCOMPARE(TopGroup(*FTree, "Избранные")->Text(1), std::string("5"));
    QCOMPARE(TopGroup(*FTree, "Авторы")->Text(1), std::string("12 (30)"));
}

void TestTreeBuilder::samePathSharesRows()
{
    Add("First", {"A"}, {}, "", "", QDate(), true, bsNone, "/same.fb2");
    TBookItem* second = Add("Second", {"A"}, {}, "", "", QDate(), true, bsRead, "/same.fb2");
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(NameLines(), QStringList({"Избранные (1)", "  Second", "Читаемые (1)", "  Second",
                                            "Авторы (1)", "  A (1)", "    Second"}));
    QCOMPARE(TopGroup(*FTree, "Авторы")->Child(0)->Child(0)->Data(), second);
}

void TestTreeBuilder::expandedStateKept()
{
    TBookItem* book = Add("Книга", {"Автор"}, {"sf"}, "", "", QDate(), true);
    dmBooks->BuildTree(nullptr);
    TTreeRow* authors = const_cast<TTreeRow*>(TopGroup(*FTree, "Авторы"));
    FTree->Expand(authors);
    FTree->Expand(authors->Child(0));

    book->AuthorShort.push_back("Второй");
    book->BookState = bsEdit;
    dmBooks->BuildTree(book);
    QCOMPARE(TopGroup(*FTree, "Авторы"), authors);
    QVERIFY(authors->Expanded());
    QVERIFY(authors->Child(0)->Expanded());
    QCOMPARE(authors->Child(1)->Caption(), std::string("Второй"));
    QVERIFY(!authors->Child(1)->Expanded());
    QVERIFY(!TopGroup(*FTree, "В работе")->Expanded());
}

void TestTreeBuilder::badSeriesNumberDoesNotStopTheBuild()
{
    Add("Bad", {"A"}, {}, "S", "1-2", QDate(), false, bsDone);
    Add("Huge", {"A"}, {}, "S", "99999999999");
    Add("Good", {"A"}, {}, "S", "3");
    dmBooks->BuildTree(nullptr);
    COMPARE_LINES(Lines(),
                  QStringList({"Авторы (1 (3)) #14 t5", "  A (3) #15 t0", "    Huge #3 t2", "    Good #3 t3",
                               "    Bad #5 t4", "Серии (1 (3)) #18 t7", "  S (3) #11 t0", "    Huge #3 t2",
                               "    Good #3 t3", "    Bad #5 t4"}));
    QVERIFY(!FTree->Updating());
}

void TestTreeBuilder::singleBookAfterMidnight()
{
    TBookItem* book = Add("Книга", {}, {}, "", "", QDate(2023, 11, 15));
    Add("Другая", {}, {}, "", "", QDate(2023, 11, 15));
    dmBooks->BuildTree(nullptr);
    FGlobals->Host.TodayDate = QDate(2023, 11, 16);
    book->IsFavorite = true;
    dmBooks->BuildTree(book);
    COMPARE_LINES(NameLines(), QStringList({"Избранные (1)", "  Книга", "Новые (2 (3))", "  Сегодня (2)",
                                            "    Другая", "    Книга", "  Вчера (1)", "    Книга"}));
}

// The count texts and the order are those of a recount and a sort of the whole tree after every
// call, however the calls follow each other.
void TestTreeBuilder::manySingleBookCallsKeepCountsAndOrder()
{
    std::mt19937 random(5u);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const char* const authors[] = {"Smith", "SMITH", "Иванов", "Петров"};
    for (int i = 0; i < 30; ++i)
        Add("Book " + std::to_string(i % 7), {authors[pick(4)]}, {i % 3 ? "sf" : "poetry"}, i % 2 ? "S" : "",
            std::to_string(pick(3)), QDate(2023, 11, 1 + pick(20)), pick(4) == 0,
            static_cast<TBookState>(pick(4)), "/books/" + std::to_string(i % 25) + ".fb2");
    dmBooks->BuildTree(nullptr);
    const std::function<int(const TTreeRow*)> check = [&check](const TTreeRow* row) {
        int books = 0;
        for (int i = 0; i < row->ChildCount(); ++i) {
            const TTreeRow* child = row->Child(i);
            if (i > 0 && TTreeList::CompareRows(row->Child(i - 1), child) > 0)
                return -1000000;
            books += (child->Data() ? 1 : 0) + check(child);
        }
        if (row->Parent() && !row->Data()) {
            std::string text = std::to_string(row->ChildCount());
            if (books != row->ChildCount())
                text += " (" + std::to_string(books) + ")";
            if (row->Text(1) != text)
                return -1000000;
        }
        return books;
    };
    QVERIFY(check(FTree->Root()) >= 0);
    for (int call = 0; call < 300; ++call) {
        TBookItem* book = dmBooks->Items(pick(dmBooks->Count()));
        if (pick(2))
            book->IsFavorite = !book->IsFavorite;
        else
            book->BookState = static_cast<TBookState>(pick(4));
        if (pick(10) == 0)
            FGlobals->Host.TodayDate = FGlobals->Host.TodayDate.addDays(1);
        dmBooks->BuildTree(book);
        QVERIFY2(check(FTree->Root()) >= 0, qPrintable(QString("call %1").arg(call)));
    }
}

QTEST_GUILESS_MAIN(TestTreeBuilder)
#include "test_tree_builder.moc"
