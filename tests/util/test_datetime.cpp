#include "util/lirvel_datetime.h"

#include <QTest>
#include <clocale>
#include <cmath>

class TestDateTime : public QObject
{
    Q_OBJECT
  private slots:
    void toText_data();
    void toText();
    void fromText_data();
    void fromText();
    void everySecondReadsBackToItself_data();
    void everySecondReadsBackToItself();
    void textIgnoresTheLocale();
};

void TestDateTime::toText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("13 May 2011 14:30:00") << EncodeDateTime(2011, 5, 13, 14, 30, 0) << "40676.6041666667";
    QTest::newRow("its midnight: no point") << EncodeDateTime(2011, 5, 13) << "40676";
    QTest::newRow("noon: no trailing zeros") << EncodeDateTime(2011, 5, 13, 12) << "40676.5";
    QTest::newRow("last second of a day") << EncodeDateTime(2011, 5, 13, 23, 59, 59) << "40676.9999884259";
    QTest::newRow("day zero") << 0.0 << "0";
    QTest::newRow("before day zero") << -1.25 << "-1.25";
    QTest::newRow("six-digit day count") << EncodeDateTime(2200, 1, 1, 6) << "109575.25";
}

void TestDateTime::toText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(DateTimeToText(value)), text);
}

void TestDateTime::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("stored stamp") << "40676.6041666667" << 40676.6041666667;
    QTest::newRow("whole number") << "40676" << 40676.0;
    QTest::newRow("negative") << "-1.25" << -1.25;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "yesterday" << 0.0;
    QTest::newRow("comma separator") << "40676,5" << 0.0;
    QTest::newRow("trailing text") << "40676.5x" << 0.0;
    QTest::newRow("leading blank") << " 40676.5" << 0.0;
    QTest::newRow("not a number") << "nan" << 0.0;
    QTest::newRow("infinite") << "inf" << 0.0;
    QTest::newRow("beyond any double") << "1e400" << 0.0;
}

void TestDateTime::fromText()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(TextToDateTime(text.toStdString()), value);
}

void TestDateTime::everySecondReadsBackToItself_data()
{
    QTest::addColumn<QDate>("day");
    QTest::newRow("1 January 2000") << QDate(2000, 1, 1);
    QTest::newRow("13 May 2011") << QDate(2011, 5, 13);
    QTest::newRow("29 February 2024") << QDate(2024, 2, 29);
    QTest::newRow("31 December 2099") << QDate(2099, 12, 31);
}

// The text form keeps a stamp to far less than a second, so that every stamp the scan can
// produce comes back as that same second and as no other.
void TestDateTime::everySecondReadsBackToItself()
{
    QFETCH(QDate, day);
    for (int second = 0; second < 86400; ++second) {
        const TDateTime stamp =
            EncodeDateTime(day.year(), day.month(), day.day(), second / 3600, second / 60 % 60, second % 60);
        const TDateTime back = TextToDateTime(DateTimeToText(stamp));
        if (std::abs(back - stamp) * 86400.0 >= 0.001)
            QFAIL(qPrintable(QString("%1 s came back %2 s away").arg(second).arg((back - stamp) * 86400.0)));
    }
}

// Under a locale with a decimal comma the file must still read "." both ways.
void TestDateTime::textIgnoresTheLocale()
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if ((found = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (found == nullptr)
        QSKIP("no locale with a decimal comma is installed");
    const std::string text = DateTimeToText(40676.5);
    const TDateTime value = TextToDateTime("40676.5");
    std::setlocale(LC_ALL, previous.c_str());
    QCOMPARE(QString::fromStdString(text), QString("40676.5"));
    QCOMPARE(value, 40676.5);
}

QTEST_GUILESS_MAIN(TestDateTime)
#include "test_datetime.moc"
