#include "books/lirvel_book_item.h"
#include "books/lirvel_display_texts.h"
#include "books/lirvel_tree_list.h"

#include <QTest>

Q_DECLARE_METATYPE(TBookState)

namespace {

TStringList Split(const QString& text)
{
    TStringList list;
    if (text.isNull())
        return list;
    for (const QString& part : text.split('|'))
        list.push_back(part.toStdString());
    return list;
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

class TestDisplayTexts : public QObject
{
    Q_OBJECT
  private slots:
    void genresText_data();
    void genresText();
    void authorsText_data();
    void authorsText();
    void serieText_data();
    void serieText();
    void fillBookRow_data();
    void fillBookRow();
    void fillBookRowKeepsCountColumn();
    void serieNumber_data();
    void serieNumber();
};

// Lists are written with "|" between the elements; a null text is the empty list.
void TestDisplayTexts::genresText_data()
{
    QTest::addColumn<QString>("genres");
    QTest::addColumn<QString>("text");
    QTest::newRow("two") << "sf_space|sf_cyberpunk"
                         << "Космическая фантастика, Киберпанк";
    QTest::newRow("one") << "sf"
                         << "Научная Фантастика";
    QTest::newRow("unknown shows its code") << "sf_postapocalyptic|sf"
                                            << "sf_postapocalyptic, Научная Фантастика";
    QTest::newRow("none") << QString() << "";
    QTest::newRow("same name twice") << "romance_fantasy|sf_fantasy"
                                     << "Фэнтези, Фэнтези";
    QTest::newRow("trailing blank kept") << "sf_action|sf"
                                         << "Боевая фантастика , Научная Фантастика";
    QTest::newRow("empty code first") << "|sf"
                                      << "Научная Фантастика";
    QTest::newRow("empty code between") << "sf|| sf"
                                        << "Научная Фантастика, ,  sf";
}

void TestDisplayTexts::genresText()
{
    QFETCH(QString, genres);
    QFETCH(QString, text);
    TBookItem book;
    book.Genres = Split(genres);
    QCOMPARE(Q(GenresText(book)), text);
}

void TestDisplayTexts::authorsText_data()
{
    QTest::addColumn<QString>("authors");
    QTest::addColumn<QString>("text");
    QTest::newRow("two") << "Иван Петров|Пётр Иванов"
                         << "Иван Петров, Пётр Иванов";
    QTest::newRow("one") << "Иван Петров"
                         << "Иван Петров";
    QTest::newRow("none") << QString() << "";
    QTest::newRow("empty first leaves no trace") << "|A"
                                                 << "A";
    QTest::newRow("empty between leaves a separator") << "A||B"
                                                      << "A, , B";
    QTest::newRow("empty last") << "A|"
                                << "A, ";
    QTest::newRow("only empties") << "||"
                                  << "";
}

void TestDisplayTexts::authorsText()
{
    QFETCH(QString, authors);
    QFETCH(QString, text);
    TBookItem book;
    book.AuthorLong = Split(authors);
    book.AuthorShort = {"not used"};
    QCOMPARE(Q(AuthorsText(book)), text);
}

void TestDisplayTexts::serieText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("no name, a number") << ""
                                       << "3"
                                       << "";
    QTest::newRow("name only") << "Дозоры"
                               << ""
                               << "Дозоры";
    QTest::newRow("name and number") << "Дозоры"
                                     << "3"
                                     << "«Дозоры», № 3";
    QTest::newRow("number as written") << "Дозоры"
                                       << "1-2"
                                       << "«Дозоры», № 1-2";
    QTest::newRow("neither") << ""
                             << ""
                             << "";
}

void TestDisplayTexts::serieText()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QString, text);
    TBookItem book;
    book.SerieName = name.toStdString();
    book.SerieBook = number.toStdString();
    QCOMPARE(Q(SerieText(book)), text);
    QCOMPARE(SerieText(book), text.toStdString()); // byte for byte, the numero sign included
}

void TestDisplayTexts::fillBookRow_data()
{
    QTest::addColumn<TBookState>("state");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("tag");

    QTest::newRow("none") << bsNone << "" << 3 << 2;
    QTest::newRow("read") << bsRead << "" << 4 << 1;
    QTest::newRow("done") << bsDone << "" << 5 << 4;
    QTest::newRow("edit") << bsEdit << "" << 6 << 0;
    QTest::newRow("out of range state") << static_cast<TBookState>(7) << "" << 3 << 2;
    QTest::newRow("done with number 7") << bsDone << "7" << 5 << 7;
    QTest::newRow("number 0") << bsNone << "0" << 3 << 0;
    QTest::newRow("negative number") << bsRead << "-1" << 4 << -1;
    QTest::newRow("plus sign") << bsRead << "+12" << 4 << 12;
    QTest::newRow("leading zeros") << bsRead << "007" << 4 << 7;
    QTest::newRow("largest") << bsNone << "2147483647" << 3 << 2147483647;
    QTest::newRow("smallest") << bsNone << "-2147483648" << 3 << -2147483647 - 1;
    // Not a whole decimal number, or out of range: the state's key stays.
    QTest::newRow("range") << bsDone << "1-2" << 5 << 4;
    QTest::newRow("letter") << bsRead << "3a" << 4 << 1;
    QTest::newRow("trailing blank") << bsEdit << "3 " << 6 << 0;
    QTest::newRow("leading blank") << bsEdit << " 3" << 6 << 0;
    QTest::newRow("too large") << bsNone << "2147483648" << 3 << 2;
    QTest::newRow("too small") << bsNone << "-2147483649" << 3 << 2;
    QTest::newRow("hexadecimal") << bsNone << "$10" << 3 << 2;
    QTest::newRow("fraction") << bsNone << "2.5" << 3 << 2;
    QTest::newRow("sign only") << bsNone << "-" << 3 << 2;
    QTest::newRow("two signs") << bsNone << "+-3" << 3 << 2;
}

void TestDisplayTexts::fillBookRow()
{
    QFETCH(TBookState, state);
    QFETCH(QString, number);
    QFETCH(int, image);
    QFETCH(int, tag);

    TBookItem book;
    book.BookName = "Ночной дозор";
    book.SerieName = number.isEmpty() ? "" : "Дозоры";
    book.SerieBook = number.toStdString();
    book.Genres = {"sf", "sf_horror"};
    book.AuthorLong = {"Сергей Лукьяненко", "Владимир Васильев"};
    book.BookState = state;

    TTreeList tree;
    TTreeRow* row = tree.AppendRow(nullptr, "old caption");
    row->SetTag(99);
    FillBookRow(&book, row);
    QCOMPARE(row->ImageIndex(), image);
    QCOMPARE(row->Tag(), tag);
    QCOMPARE(row->Data(), &book);
    QCOMPARE(Q(row->Caption()), QString("Ночной дозор"));
    QCOMPARE(Q(row->Text(1)), QString());
    QCOMPARE(Q(row->Text(2)), QString("Сергей Лукьяненко, Владимир Васильев"));
    QCOMPARE(Q(row->Text(3)), QString("Научная Фантастика, Ужасы и Мистика"));
    QCOMPARE(Q(row->Text(4)), Q(book.SerieName));
    QCOMPARE(Q(row->Text(5)), number);
}

void TestDisplayTexts::fillBookRowKeepsCountColumn()
{
    TBookItem book;
    book.BookName = "Title";
    TTreeList tree;
    TTreeRow* row = tree.AppendRow(nullptr, "x");
    row->SetText(1, "5");
    row->SetText(4, "series before");
    FillBookRow(&book, row);
    QCOMPARE(Q(row->Text(1)), QString("5"));
    QCOMPARE(Q(row->Text(4)), QString());
    QCOMPARE(Q(row->Caption()), QString("Title"));

    // A text set on the row afterwards is the row's own; the others still read as filled.
    book.AuthorLong = {"A"};
    FillBookRow(&book, row);
    row->SetText(5, "own");
    QCOMPARE(Q(row->Text(5)), QString("own"));
    QCOMPARE(Q(row->Text(2)), QString("A"));
    QCOMPARE(Q(row->Caption()), QString("Title"));
    QCOMPARE(Q(row->Text(1)), QString("5"));
}

void TestDisplayTexts::serieNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "10" << true << 10;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("plus only") << "+" << false << 0;
    QTest::newRow("unicode digits") << "١٢" << false << 0;
}

void TestDisplayTexts::serieNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int> number = SerieNumber(text.toStdString());
    QCOMPARE(number.has_value(), valid);
    if (valid)
        QCOMPARE(*number, value);
}

QTEST_APPLESS_MAIN(TestDisplayTexts)
#include "test_display_texts.moc"
