#include "books/lirvel_book_item.h"
#include "books/lirvel_display_texts.h"
#include "books/lirvel_tree_list.h"

#include <QTest>

namespace {

QStringList Captions(const TTreeRow* parent)
{
    QStringList captions;
    for (int i = 0; i < parent->ChildCount(); ++i)
        captions << QString::fromStdString(parent->Child(i)->Caption());
    return captions;
}

std::unique_ptr<TBookItem> Book(const char* title, const char* serie = "", const char* number = "",
                                TBookState state = bsNone)
{
    auto book = std::make_unique<TBookItem>();
    book->BookName = title;
    book->SerieName = serie;
    book->SerieBook = number;
    book->BookState = state;
    book->File.FileName = std::string("/books/") + title + ".fb2";
    return book;
}

} // namespace

class TestTreeSort : public QObject
{
    Q_OBJECT
  private slots:
    void compare_data();
    void compare();
    void seriesNumbersAsNumbers();
    void captionsInByteOrder();
    void booksWithoutSeriesFirst();
    void stateOrderWithinGroup();
    void sortedWhenUpdatesResume();
};

void TestTreeSort::compare_data()
{
    QTest::addColumn<QString>("serie1");
    QTest::addColumn<int>("tag1");
    QTest::addColumn<QString>("number1");
    QTest::addColumn<QString>("caption1");
    QTest::addColumn<QString>("serie2");
    QTest::addColumn<int>("tag2");
    QTest::addColumn<QString>("number2");
    QTest::addColumn<QString>("caption2");
    QTest::addColumn<int>("result");

    QTest::newRow("equal") << "S" << 1 << "1"
                           << "A"
                           << "S" << 1 << "1"
                           << "A" << 0;
    QTest::newRow("series decides before tag") << "A" << 9 << ""
                                               << ""
                                               << "B" << 0 << ""
                                               << "" << -1;
    QTest::newRow("empty series first") << "" << 9 << ""
                                        << "Z"
                                        << "A" << -5 << ""
                                        << "A" << -1;
    QTest::newRow("prefix is smaller") << "Ab" << 0 << ""
                                       << ""
                                       << "Abc" << 0 << ""
                                       << "" << -1;
    QTest::newRow("capitals first") << "beta" << 0 << ""
                                    << ""
                                    << "Beta" << 0 << ""
                                    << "" << 1;
    QTest::newRow("latin before cyrillic") << "Альфа" << 0 << ""
                                           << ""
                                           << "Zeta" << 0 << ""
                                           << "" << 1;
    // UTF-8 byte order, not the alphabet: Ё (D0 81) before А (D0 90), я (D1 8F) before ё (D1 91).
    QTest::newRow("yo before a") << "" << 0 << ""
                                 << "Ёж"
                                 << "" << 0 << ""
                                 << "Аист" << -1;
    QTest::newRow("ya before yo") << "" << 0 << ""
                                  << "ёж"
                                  << "" << 0 << ""
                                  << "яр" << 1;
    QTest::newRow("tag as number") << "S" << 2 << ""
                                   << ""
                                   << "S" << 10 << ""
                                   << "" << -1;
    QTest::newRow("negative tag") << "" << -1 << ""
                                  << ""
                                  << "" << 0 << ""
                                  << "" << -1;
    QTest::newRow("extreme tags") << "" << -2147483647 - 1 << ""
                                  << ""
                                  << "" << 2147483647 << ""
                                  << "" << -1;
    QTest::newRow("tag before number text") << "S" << 1 << "9"
                                            << ""
                                            << "S" << 2 << "10"
                                            << "" << -1;
    QTest::newRow("number text as text") << "S" << 7 << "10"
                                         << ""
                                         << "S" << 7 << "9"
                                         << "" << -1;
    QTest::newRow("number text before caption") << "S" << 7 << "1"
                                                << "Z"
                                                << "S" << 7 << "2"
                                                << "A" << -1;
    QTest::newRow("caption last") << "S" << 7 << "1"
                                  << "B"
                                  << "S" << 7 << "1"
                                  << "A" << 1;
}

void TestTreeSort::compare()
{
    QFETCH(QString, serie1);
    QFETCH(int, tag1);
    QFETCH(QString, number1);
    QFETCH(QString, caption1);
    QFETCH(QString, serie2);
    QFETCH(int, tag2);
    QFETCH(QString, number2);
    QFETCH(QString, caption2);
    QFETCH(int, result);

    TTreeList tree;
    const auto make = [&tree](const QString& serie, int tag, const QString& number, const QString& caption) {
        TTreeRow* row = tree.AppendRow(nullptr, caption.toStdString());
        row->SetText(4, serie.toStdString());
        row->SetText(5, number.toStdString());
        row->SetTag(tag);
        return row;
    };
    const TTreeRow* a = make(serie1, tag1, number1, caption1);
    const TTreeRow* b = make(serie2, tag2, number2, caption2);
    QCOMPARE(TTreeList::CompareRows(a, b), result);
    QCOMPARE(TTreeList::CompareRows(b, a), -result);

    // A row that shows a book compares by the same texts.
    TBookItem book;
    book.SerieName = serie1.toStdString();
    book.SerieBook = number1.toStdString();
    book.BookName = caption1.toStdString();
    TTreeRow* mirrored = tree.AppendRow(nullptr, "");
    mirrored->SetBookTexts(&book);
    mirrored->SetTag(tag1);
    QCOMPARE(TTreeList::CompareRows(mirrored, b), result);
}

void TestTreeSort::seriesNumbersAsNumbers()
{
    const auto ten = Book("Десятая", "Дозоры", "10");
    const auto two = Book("Вторая", "Дозоры", "2");
    TTreeList tree;
    TTreeRow* group = tree.AppendRow(nullptr, "Дозоры");
    FillBookRow(ten.get(), tree.AppendRow(group, ""));
    FillBookRow(two.get(), tree.AppendRow(group, ""));
    QCOMPARE(Captions(group), QStringList({"Вторая", "Десятая"}));
}

void TestTreeSort::captionsInByteOrder()
{
    TTreeList tree;
    TTreeRow* authors = tree.AppendRow(nullptr, "Авторы");
    for (const char* name : {"beta", "Альфа", "Zeta", "Beta", "ёлкин", "Яковлев", "Ёлкин", "alpha"})
        tree.AppendRow(authors, name);
    QCOMPARE(Captions(authors),
             QStringList({"Beta", "Zeta", "alpha", "beta", "Ёлкин", "Альфа", "Яковлев", "ёлкин"}));
}

void TestTreeSort::booksWithoutSeriesFirst()
{
    const auto first = Book("Ааа", "Альфа", "1");
    const auto noSeriesRead = Book("Яяя", "", "", bsDone);
    const auto secondSeries = Book("Ббб", "Zeta", "");
    const auto noSeries = Book("Zzz");
    TTreeList tree;
    TTreeRow* author = tree.AppendRow(nullptr, "Автор");
    {
        TTreeList::TUpdate update(tree);
        for (TBookItem* book : {first.get(), noSeriesRead.get(), secondSeries.get(), noSeries.get()})
            FillBookRow(book, tree.AppendRow(author, ""));
    }
    QCOMPARE(Captions(author), QStringList({"Zzz", "Яяя", "Ббб", "Ааа"}));
}

void TestTreeSort::stateOrderWithinGroup()
{
    // In work (0), reading (1), unread (2), read (4), mixed by value with the numbers.
    const auto unread = Book("a unread");
    const auto read = Book("b read", "", "", bsDone);
    const auto reading = Book("c reading", "", "", bsRead);
    const auto editing = Book("d editing", "", "", bsEdit);
    const auto three = Book("e number 3", "S", "3");
    const auto zero = Book("f number 0", "S", "0", bsDone);
    const auto threeAgain = Book("a number 3 too", "S", "3");
    TTreeList tree;
    TTreeRow* group = tree.AppendRow(nullptr, "G");
    {
        TTreeList::TUpdate update(tree);
        for (TBookItem* book : {unread.get(), read.get(), reading.get(), editing.get(), three.get(),
                                zero.get(), threeAgain.get()})
            FillBookRow(book, tree.AppendRow(group, ""));
    }
    QCOMPARE(Captions(group), QStringList({"d editing", "c reading", "a unread", "b read", "f number 0",
                                           "a number 3 too", "e number 3"}));
}

void TestTreeSort::sortedWhenUpdatesResume()
{
    TTreeList tree;
    TTreeRow* group = tree.AppendRow(nullptr, "G");
    tree.BeginUpdate();
    tree.AppendRow(group, "b");
    tree.AppendRow(group, "a");
    // Suspended: the rows stay in the order in which they were added.
    QCOMPARE(Captions(group), QStringList({"b", "a"}));
    tree.EndUpdate();
    QCOMPARE(Captions(group), QStringList({"a", "b"}));
    // Outside a suspension every change is sorted at once.
    tree.AppendRow(group, "0");
    QCOMPARE(Captions(group), QStringList({"0", "a", "b"}));
    group->Child(0)->SetCaption("c");
    QCOMPARE(Captions(group), QStringList({"a", "b", "c"}));
    group->Child(2)->SetTag(-1);
    QCOMPARE(Captions(group), QStringList({"c", "a", "b"}));
    QCOMPARE(group->Child(0)->Index(), 0);
    QCOMPARE(group->Child(2)->Index(), 2);
}

QTEST_APPLESS_MAIN(TestTreeSort)
#include "test_tree_sort.moc"
