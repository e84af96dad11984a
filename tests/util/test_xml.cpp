#include "testsupport.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_xml.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Bytes(const std::string& s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// Ten entities, each ten times the one before: 10^depth copies of "lol".
std::string Laughs(int depth)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE a [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= depth; ++i) {
        xml += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            xml += "&lol" + std::to_string(i - 1) + ";";
        xml += "\">\n";
    }
    return xml + "]>\n<a>&lol" + std::to_string(depth) + ";</a>\n";
}

// One large entity referenced many times: the growth is quadratic in the document's size.
std::string ManyCopies(std::size_t size, int copies)
{
    std::string xml = "<!DOCTYPE a [<!ENTITY e \"" + std::string(size, 'x') + "\">]><a>";
    for (int i = 0; i < copies; ++i)
        xml += "&e;";
    return xml + "</a>";
}

std::string Nested(int depth)
{
    std::string xml;
    for (int i = 0; i < depth; ++i)
        xml += "<a>";
    xml += "deep";
    for (int i = 0; i < depth; ++i)
        xml += "</a>";
    return xml;
}

std::string AllText(TXmlNode node)
{
    std::string text = node.Value();
    for (TXmlNode c : Children(node))
        text += AllText(c);
    return text;
}

} // namespace

class TestXml : public QObject
{
    Q_OBJECT

  private slots:
    void rejected_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("unescaped ampersand") << QByteArray("<a>fish & chips</a>");
        QTest::newRow("unescaped less-than") << QByteArray("<a>1 < 2</a>");
        QTest::newRow("unescaped less-than in attribute") << QByteArray("<a x=\"1 < 2\"/>");
        QTest::newRow("mismatched tags") << QByteArray("<a><b></a></b>");
        QTest::newRow("unclosed root") << QByteArray("<a><b/>");
        QTest::newRow("duplicate attribute") << QByteArray("<a x=\"1\" x=\"2\"/>");
        QTest::newRow("duplicate namespace declaration") << QByteArray("<a xmlns:l=\"u\" xmlns:l=\"v\"/>");
        QTest::newRow("undefined entity") << QByteArray("<a>&nbsp;</a>");
        QTest::newRow("undefined entity in attribute") << QByteArray("<a x=\"&nbsp;\"/>");
        QTest::newRow("undefined entity, external subset declared")
            << QByteArray("<!DOCTYPE a SYSTEM \"a.dtd\"><a>&nbsp;</a>");
        QTest::newRow("undefined entity in attribute, external subset declared")
            << QByteArray("<!DOCTYPE a SYSTEM \"a.dtd\"><a x=\"&nbsp;\"/>");
        QTest::newRow("invalid UTF-8") << QByteArray("<a>\xC3\x28</a>");
        QTest::newRow("overlong UTF-8") << QByteArray("<a>\xC0\xBC</a>");
        QTest::newRow("bytes undefined in windows-1252")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x81</a>");
        QTest::newRow("undecodable bytes after the root")
            << QByteArray("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>t</a>\n<!-- \xFF\xFF -->");
        QTest::newRow("unsupported encoding")
            << QByteArray("<?xml version=\"1.0\" encoding=\"x-none\"?><a/>");
        QTest::newRow("NUL character") << QByteArray("<a>t\0</a>", 9);
        QTest::newRow("control character") << QByteArray("<a>t\x01</a>");
        QTest::newRow("invalid character reference") << QByteArray("<a>&#1;</a>");
        QTest::newRow("text after the root") << QByteArray("<a/>text");
        QTest::newRow("two roots") << QByteArray("<a/><b/>");
        QTest::newRow("no root") << QByteArray("<?xml version=\"1.0\"?>\n<!-- nothing -->\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blanks only") << QByteArray(" \n\t\r\n");
        QTest::newRow("declaration not at the start") << QByteArray("\n<?xml version=\"1.0\"?><a/>");
        QTest::newRow("entity expansion: ten levels of ten") << Bytes(Laughs(9));
        QTest::newRow("entity expansion: thirty megabytes") << Bytes(Laughs(7));
        QTest::newRow("entity expansion: many copies of a large one") << Bytes(ManyCopies(100000, 20000));
        QTest::newRow("entity referring to itself")
            << QByteArray("<!DOCTYPE a [<!ENTITY e \"x&e;\">]><a>&e;</a>");
    }

    void rejected()
    {
        QFETCH(QByteArray, xml);
        QVERIFY_THROWS_EXCEPTION(EXmlError,
                                 TXmlDocument::ParseMemory(xml.constData(), xml.size(), "test.xml"));
        try {
            TXmlDocument::ParseMemory(xml.constData(), xml.size(), "test.xml");
        } catch (const EXmlError& e) {
            QVERIFY2(std::string(e.what()).find("test.xml") != std::string::npos, e.what());
        }
    }

    void prefixedNames()
    {
        const auto doc =
            TXmlDocument::ParseMemory("<FictionBook xmlns:x=\"http://www.w3.org/1999/xlink\">"
                                      "<image l:href=\"#a\" x:href=\"#b\" href=\"#c\"/><l:p/><x:p/><P/>"
                                      "</FictionBook>");
        const TXmlNode root = doc->DocumentElement();
        QVERIFY(root.HasName("FictionBook"));
        QVERIFY(!root.HasName("fictionbook"));
        QVERIFY(root.HasAttributes());
        QCOMPARE(root.Attribute("xmlns:x"), std::string("http://www.w3.org/1999/xlink"));
        const TXmlNode image = root.FirstChild();
        QCOMPARE(image.Name(), std::string("image"));
        QCOMPARE(image.Attribute("l:href"), std::string("#a"));
        QCOMPARE(image.Attribute("x:href"), std::string("#b"));
        QCOMPARE(image.Attribute("href"), std::string("#c"));
        QVERIFY(!image.HasAttribute("xlink:href"));
        QVERIFY(!image.HasAttribute("HREF"));
        std::vector<std::string> names;
        for (TXmlNode c : Children(root))
            names.push_back(c.Name());
        QCOMPARE(names, (std::vector<std::string>{"image", "l:p", "x:p", "P"}));
        QVERIFY(image.NextSibling().HasName("l:p"));
        QVERIFY(!image.NextSibling().HasName("p"));
        QVERIFY(!image.NextSibling().NextSibling().HasName("l:p"));
    }

    void whitespaceTextDropped()
    {
        const auto doc =
            TXmlDocument::ParseMemory("<a>\n  <b> </b>\r\n\t<c>\n</c> <d> x </d>&#32;<e/>&#160;</a>");
        const TXmlNode root = doc->DocumentElement();
        std::vector<std::string> names;
        for (TXmlNode c : Children(root))
            names.push_back(c.Name());
        // The character reference to a blank is a blank like any other; a no-break space is text.
        QCOMPARE(names, (std::vector<std::string>{"b", "c", "d", "e", "#text"}));
        QVERIFY(!root.FirstChild().HasChildNodes());
        QVERIFY(!root.FirstChild().NextSibling().HasChildNodes());
        QCOMPARE(root.FirstChild().NextSibling().NextSibling().FirstChild().Value(), std::string(" x "));
    }

    void referencesResolved()
    {
        const auto doc =
            TXmlDocument::ParseMemory("<!DOCTYPE a [<!ENTITY name \"Лир&amp;вель\"><!ENTITY empty \"\">]>"
                                      "<a "
                                      "x=\"&lt;&name;&#x41;&#1046;&quot;&apos;\">&amp;&lt;&gt;&#65;&#x416;&"
                                      "name;&empty;<![CDATA[<c>&amp;]]></a>");
        const TXmlNode root = doc->DocumentElement();
        QCOMPARE(root.Attribute("x"), std::string("<Лир&вельAЖ\"'"));
        QCOMPARE(AllText(root), std::string("&<>AЖЛир&вель<c>&amp;"));
        QCOMPARE(root.FirstChild().Name(), std::string("#text"));
    }

    // A cover picture in Base64 may exceed libxml2's 10 MB limit on one text node; it is kept whole,
    // also when a reference splits it into pieces that the parser joins.
    void hugeTextNode_data()
    {
        QTest::addColumn<bool>("split");
        QTest::newRow("one run") << false;
        QTest::newRow("joined around a reference") << true;
    }

    void hugeTextNode()
    {
        QFETCH(bool, split);
        const std::size_t size = 12 * 1000 * 1000;
        std::string text(size, 'A');
        std::string xml = "<binary id=\"cover.jpg\">" +
                          (split ? text.substr(0, size / 2) + "&#x42;" + text.substr(size / 2 + 1) : text) +
                          "</binary>";
        if (split)
            text[size / 2] = 'B';
        const auto doc = TXmlDocument::ParseMemory(xml);
        const TXmlNode root = doc->DocumentElement();
        QVERIFY(root.FirstChild());
        QVERIFY(!root.FirstChild().NextSibling());
        const std::string value = root.FirstChild().Value();
        QCOMPARE(value.size(), size);
        QVERIFY(value == text);
    }

    void deepNesting()
    {
        const auto doc = TXmlDocument::ParseMemory(Nested(1000));
        TXmlNode node = doc->DocumentElement();
        int depth = 0;
        while (node.IsElement()) {
            ++depth;
            node = node.FirstChild();
        }
        QCOMPARE(depth, 1000);
        QCOMPARE(node.Value(), std::string("deep"));
        // Far deeper than any stack would allow a recursive walk: built and freed all the same.
        QVERIFY(TXmlDocument::ParseMemory(Nested(100000)));
    }

    // Entities that the document itself declares in moderation are resolved as always.
    void modestEntities()
    {
        std::string xml = "<!DOCTYPE a [<!ENTITY nbsp \"&#160;\"><!ENTITY mdash \"&#8212;\">]><a>";
        for (int i = 0; i < 50000; ++i)
            xml += "<p>a&nbsp;b&mdash;c</p>";
        xml += "</a>";
        const auto doc = TXmlDocument::ParseMemory(xml);
        QCOMPARE(doc->DocumentElement().FirstChild().FirstChild().Value(), std::string("a\u00A0b\u2014c"));
    }

    // Nothing outside the given bytes is read: neither an external entity nor an external subset.
    void noExternalEntity()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string secret = dir.filePath("secret.txt").toStdString();
        WriteTestFile(secret, "SECRET");
        const std::string dtd = dir.filePath("book.dtd").toStdString();
        WriteTestFile(dtd, "<!ENTITY word \"SECRET\">");

        const std::vector<std::string> documents = {
            "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + secret + "\">]><a>&e;</a>",
            "<!DOCTYPE a [<!ENTITY e SYSTEM \"file://" + secret + "\">]><a>&e;</a>",
            "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + secret + "\">]><a x=\"&e;\"/>",
            "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]><a>&word;</a>",
            "<!DOCTYPE a SYSTEM \"" + dtd + "\"><a>&word;</a>",
            "<a xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + secret +
                "\" parse=\"text\"/></a>",
        };
        for (const std::string& xml : documents) {
            try {
                const auto doc = TXmlDocument::ParseMemory(xml);
                const std::string text = AllText(doc->DocumentElement());
                QVERIFY2(text.find("SECRET") == std::string::npos, xml.c_str());
                for (TXmlNode n = doc->DocumentElement(); n; n = n.FirstChild())
                    QVERIFY(n.Attribute("x").find("SECRET") == std::string::npos);
            } catch (const EXmlError&) {
                // rejecting it is as good
            }
        }
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8 without declaration") << QByteArray("<a>Привет</a>") << "Привет";
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF<a>Привет</a>") << "Привет";
        QTest::newRow("KOI8-R") << QByteArray(
                                       "<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a>\xf0\xd2\xc9</a>")
                                << "При";
        QTest::newRow("windows-1251 left to the XML reader")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xcf\xf0\xe8</a>") << "При";
        const std::u16string wide = u"\uFEFF<a>Пр</a>";
        QTest::newRow("UTF-16LE with byte-order mark")
            << QByteArray(reinterpret_cast<const char*>(wide.data()), static_cast<qsizetype>(wide.size() * 2))
            << "Пр";
    }

    void encodings()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, text);
        const auto doc = TXmlDocument::ParseMemory(xml.constData(), xml.size());
        QCOMPARE(QString::fromStdString(doc->DocumentElement().FirstChild().Value()), text);
    }
};

QTEST_GUILESS_MAIN(TestXml)
#include "test_xml.moc"
