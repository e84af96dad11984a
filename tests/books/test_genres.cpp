#include "books/lirvel_genres.h"

#include <QTest>
#include <set>

class TestGenres : public QObject
{
    Q_OBJECT
  private slots:
    void lookup_data();
    void lookup();
    void table();
};

void TestGenres::lookup_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("name");

    QTest::newRow("plain") << QByteArray("sf_space") << QByteArray("Космическая фантастика");
    QTest::newRow("capitals") << QByteArray("SF_SPACE") << QByteArray("Космическая фантастика");
    QTest::newRow("mixed case") << QByteArray("Sf_SpAcE") << QByteArray("Космическая фантастика");
    QTest::newRow("housekeeping none") << QByteArray("none") << QByteArray("none");
    QTest::newRow("housekeeping other") << QByteArray("other") << QByteArray("Другое");
    QTest::newRow("first of two same names") << QByteArray("romance_fantasy") << QByteArray("Фэнтези");
    QTest::newRow("second of two same names") << QByteArray("sf_fantasy") << QByteArray("Фэнтези");
    QTest::newRow("trailing blank sf_action") << QByteArray("sf_action") << QByteArray("Боевая фантастика ");
    QTest::newRow("trailing blank sf_detective")
        << QByteArray("sf_detective") << QByteArray("Детективная фантастика ");
    QTest::newRow("trailing blank det_police")
        << QByteArray("det_police") << QByteArray("Полицейский детектив ");
    QTest::newRow("trailing blank prose_su_classics")
        << QByteArray("prose_su_classics") << QByteArray("Советская классическая проза ");
    QTest::newRow("trailing blank nonf_biography")
        << QByteArray("nonf_biography") << QByteArray("Биографии и Мемуары ");
    QTest::newRow("spelling child_prose") << QByteArray("child_prose") << QByteArray("Детскиая проза");
    QTest::newRow("spelling computers")
        << QByteArray("computers") << QByteArray("Прочая околокомпьтерная литература");
    QTest::newRow("spelling religion")
        << QByteArray("religion") << QByteArray("Прочая религионая литература");
    QTest::newRow("spelling home") << QByteArray("home") << QByteArray("Прочиее домоводство");
    QTest::newRow("double quotes") << QByteArray("comp_hard")
                                   << QByteArray("Компьютерное \"железо\" (аппаратное обеспечение)");
    QTest::newRow("short code sf") << QByteArray("sf") << QByteArray("Научная Фантастика");
    QTest::newRow("last entry") << QByteArray("HOME_SEX") << QByteArray("Эротика, Секс");
    QTest::newRow("unknown") << QByteArray("sf_postapocalyptic") << QByteArray("sf_postapocalyptic");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("blank in front") << QByteArray(" sf") << QByteArray(" sf");
    QTest::newRow("blank after") << QByteArray("sf ") << QByteArray("sf ");
    QTest::newRow("prefix of a code") << QByteArray("sf_spac") << QByteArray("sf_spac");
    // Only A to Z are folded: a Cyrillic letter never matches, and an unknown code keeps its case.
    QTest::newRow("unknown keeps case") << QByteArray("Sf_Unknown") << QByteArray("Sf_Unknown");
    QTest::newRow("cyrillic lookalike") << QByteArray("ѕf") << QByteArray("ѕf");
}

void TestGenres::lookup()
{
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, name);
    QCOMPARE(QByteArray::fromStdString(GenreName(code.toStdString())), name);
}

void TestGenres::table()
{
    std::set<std::string> codes;
    for (const TGenreEntry& entry : GenreTable) {
        const std::string code = entry.Code;
        QVERIFY2(codes.insert(code).second, entry.Code);
        for (const char c : code)
            QVERIFY2((c >= 'a' && c <= 'z') || c == '_', entry.Code);
        QCOMPARE(GenreName(code), std::string(entry.Name));
    }
    QCOMPARE(codes.size(), std::size_t(112));
    QCOMPARE(std::string(GenreTable[0].Code), std::string("none"));
    QCOMPARE(std::string(GenreTable[111].Code), std::string("home"));
}

QTEST_APPLESS_MAIN(TestGenres)
#include "test_genres.moc"
