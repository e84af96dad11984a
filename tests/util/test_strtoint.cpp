#include "util/lirvel_errors.h"
#include "util/lirvel_strtoint.h"

#include <QTest>

class TestStrToInt : public QObject
{
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void failureNamesTheText();
};

void TestStrToInt::conversion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("decimal") << QByteArray("800") << true << 800;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
    QTest::newRow("negative") << QByteArray("-120") << true << -120;
    QTest::newRow("plus sign") << QByteArray("+5") << true << 5;
    QTest::newRow("leading blank") << QByteArray(" 800") << true << 800;
    QTest::newRow("leading blanks and tabs") << QByteArray(" \t\t 42") << true << 42;
    QTest::newRow("blank after sign") << QByteArray("- 5") << false << 0;
    QTest::newRow("dollar hex") << QByteArray("$1F") << true << 31;
    QTest::newRow("x hex") << QByteArray("x10") << true << 16;
    QTest::newRow("X hex") << QByteArray("XfF") << true << 255;
    QTest::newRow("0x hex") << QByteArray("0x1a") << true << 26;
    QTest::newRow("0X hex") << QByteArray("0X1A") << true << 26;
    QTest::newRow("negative hex") << QByteArray("-$10") << true << -16;
    QTest::newRow("octal") << QByteArray("&17") << true << 15;
    QTest::newRow("octal digit 8") << QByteArray("&18") << false << 0;
    QTest::newRow("binary") << QByteArray("%101") << true << 5;
    QTest::newRow("binary digit 2") << QByteArray("%102") << false << 0;
    QTest::newRow("max") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("min") << QByteArray("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("above max") << QByteArray("2147483648") << false << 0;
    QTest::newRow("below min") << QByteArray("-2147483649") << false << 0;
    QTest::newRow("hex above max") << QByteArray("$80000000") << false << 0;
    QTest::newRow("huge") << QByteArray("99999999999999999999999") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("blanks only") << QByteArray("   ") << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("prefix only") << QByteArray("$") << false << 0;
    QTest::newRow("0x only") << QByteArray("0x") << false << 0;
    QTest::newRow("unit suffix") << QByteArray("800px") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("800 ") << false << 0;
    QTest::newRow("decimal point") << QByteArray("8.5") << false << 0;
    QTest::newRow("hex digit in decimal") << QByteArray("12a") << false << 0;
    QTest::newRow("leading newline") << QByteArray("\n5") << false << 0;
}

void TestStrToInt::conversion()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const auto result = TryStrToInt(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void TestStrToInt::failureNamesTheText()
{
    try {
        StrToInt("800px");
        QFAIL("no failure");
    } catch (const EConvertError& error) {
        QVERIFY(std::string(error.what()).find("800px") != std::string::npos);
    }
}

QTEST_APPLESS_MAIN(TestStrToInt)
#include "test_strtoint.moc"
