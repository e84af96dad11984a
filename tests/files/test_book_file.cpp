#include "files/lirvel_cp1251.h"
#include "files/lirvel_dm_files.h"
#include "testsupport.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_xml.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <iconv.h>
#include <sys/stat.h>
#include <zip.h>

namespace {

struct TZipEntry
{
    std::string Name;
    std::string Data;
};
using TZipEntries = std::vector<TZipEntry>;

// Writes a ZIP archive with the entries in this order; stored or deflated.
void WriteZip(const std::string& path, const TZipEntries& entries, bool store = false)
{
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr)
        throw std::runtime_error("cannot create " + path);
    for (const TZipEntry& e : entries) {
        zip_int64_t index = -1;
        if (!e.Name.empty() && e.Name.back() == '/') {
            index = zip_dir_add(archive, e.Name.c_str(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t* source = zip_source_buffer(archive, e.Data.data(), e.Data.size(), 0);
            index = zip_file_add(archive, e.Name.c_str(), source, ZIP_FL_ENC_UTF_8);
            if (index < 0)
                zip_source_free(source);
        }
        if (index < 0)
            throw std::runtime_error("cannot add " + e.Name);
        if (store)
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write " + path);
}

// Little-endian fields of a ZIP header.
void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An archive of one entry with the given method, compressed data and stated size, written by hand
// so that the stated size may be anything. The CRC is left 0.
std::string HandMadeZip(int method, const std::string& data, std::uint32_t statedSize)
{
    const std::string name = "huge.fb2";
    std::string zip;
    PutLe(zip, 0x04034b50, 4);
    PutLe(zip, 20, 2);
    PutLe(zip, 0, 2);
    PutLe(zip, static_cast<std::uint32_t>(method), 2);
    PutLe(zip, 0, 2);
    PutLe(zip, 0x21, 2);
    PutLe(zip, 0, 4);
    PutLe(zip, static_cast<std::uint32_t>(data.size()), 4);
    PutLe(zip, statedSize, 4);
    PutLe(zip, static_cast<std::uint32_t>(name.size()), 2);
    PutLe(zip, 0, 2);
    zip += name + data;
    const auto central = static_cast<std::uint32_t>(zip.size());
    PutLe(zip, 0x02014b50, 4);
    PutLe(zip, 20, 2);
    PutLe(zip, 20, 2);
    PutLe(zip, 0, 2);
    PutLe(zip, static_cast<std::uint32_t>(method), 2);
    PutLe(zip, 0, 2);
    PutLe(zip, 0x21, 2);
    PutLe(zip, 0, 4);
    PutLe(zip, static_cast<std::uint32_t>(data.size()), 4);
    PutLe(zip, statedSize, 4);
    PutLe(zip, static_cast<std::uint32_t>(name.size()), 2);
    for (int i = 0; i < 4; ++i)
        PutLe(zip, 0, 2);
    PutLe(zip, 0, 4);
    PutLe(zip, 0, 4);
    zip += name;
    const auto centralSize = static_cast<std::uint32_t>(zip.size()) - central;
    PutLe(zip, 0x06054b50, 4);
    PutLe(zip, 0, 2);
    PutLe(zip, 0, 2);
    PutLe(zip, 1, 2);
    PutLe(zip, 1, 2);
    PutLe(zip, centralSize, 4);
    PutLe(zip, central, 4);
    PutLe(zip, 0, 2);
    return zip;
}

// A raw deflate stream (one block of fixed Huffman codes) of the head's bytes followed by blanks,
// `size` bytes in all: the blanks are one literal and copies of 258 bytes at distance 1, some
// 13 bits for every 258 bytes, so a quarter of a gigabyte takes a megabyte and a half.
std::string DeflatedBlanks(const std::string& head, std::uint64_t size)
{
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    const auto put = [&](std::uint32_t value, int n) { // least significant bit first
        for (int i = 0; i < n; ++i) {
            bits |= ((value >> i) & 1u) << count;
            if (++count == 8) {
                out.push_back(static_cast<char>(bits));
                bits = 0;
                count = 0;
            }
        }
    };
    const auto code = [&](std::uint32_t value, int n) { // Huffman codes: most significant bit first
        for (int i = n - 1; i >= 0; --i)
            put((value >> i) & 1u, 1);
    };
    const auto literal = [&](unsigned char c) { code(0x30u + c, 8); }; // bytes 0 to 143
    put(1, 1);                                                         // last block
    put(1, 2);                                                         // fixed codes
    for (const char c : head + " ")
        literal(static_cast<unsigned char>(c));
    std::uint64_t left = size - head.size() - 1;
    for (; left >= 258; left -= 258) {
        code(0xC5, 8); // length 258
        code(0, 5);    // distance 1
    }
    for (; left > 0; --left)
        literal(' ');
    code(0, 7); // end of block
    put(0, 7);
    return out;
}

// The 22 bytes of an end-of-central-directory record and nothing else: a valid archive with no
// entry (libzip does not write one).
const std::string EmptyArchive = std::string("PK\x05\x06", 4) + std::string(18, '\0');

const std::string Utf8Book =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<FictionBook xmlns:l=\"http://www.w3.org/1999/xlink\">\n"
    "<description><title-info><book-title>Книга</book-title></title-info></description>\n"
    "<body><section><p>текст</p></section></body>\n"
    "</FictionBook>\n";

std::string BookWithRoot(const std::string& root, const std::string& attributes = {})
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<" + root + attributes +
           "><description><title-info><book-title>T</book-title></title-info></description></" + root + ">\n";
}

std::string Utf8ToCp1251(const std::string& text)
{
    iconv_t cd = iconv_open("WINDOWS-1251", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no iconv for WINDOWS-1251");
    std::string out(text.size(), '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        throw std::runtime_error("not convertible to WINDOWS-1251");
    out.resize(out.size() - outLeft);
    return out;
}

std::string Utf8ToUtf16(const std::string& text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : QString::fromStdString(text).toStdU16String()) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string TitleOf(const TXmlDocument& doc)
{
    const TXmlNode root = doc.DocumentElement();
    for (TXmlNode d : Children(root))
        if (d.HasName("description"))
            for (TXmlNode ti : Children(d))
                if (ti.HasName("title-info"))
                    for (TXmlNode t : Children(ti))
                        if (t.HasName("book-title"))
                            return t.FirstChild().Value();
    return {};
}

} // namespace

class TestBookFile : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir FDir;
    Tdm_files FFiles;

    std::string Path(const std::string& name) const
    {
        return FDir.filePath(QString::fromStdString(name)).toStdString();
    }

    bool Open(const std::string& path, std::unique_ptr<TXmlDocument>& doc) const
    {
        TFilesListItem item;
        item.FileName = path;
        return FFiles.OpenBookFile(item, doc);
    }

  private slots:
    void initTestCase() { QVERIFY(FDir.isValid()); }

    void outcomes_data()
    {
        QTest::addColumn<QString>("name");
        // Content of a plain file, or the entries of an archive when the name ends in ".zip".
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("entries");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("root"); // empty: no document handed back

        const auto bytes = [](const std::string& s) {
            return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
        };
        const QByteArrayList none;
        const QByteArray book = bytes(Utf8Book);

        QTest::newRow("fb2 document") << "a.fb2" << bytes(Utf8Book) << none << true << "FictionBook";
        QTest::newRow("root in other case")
            << "b.fb2" << bytes(BookWithRoot("FICTIONbook")) << none << true << "FICTIONbook";
        QTest::newRow("extension in capitals") << "c.FB2" << bytes(Utf8Book) << none << true << "FictionBook";
        QTest::newRow("another root handed back")
            << "d.fb2" << bytes(BookWithRoot("html")) << none << false << "html";
        QTest::newRow("prefixed root handed back")
            << "e.fb2" << bytes(BookWithRoot("fb:FictionBook", " xmlns:fb=\"urn:x\"")) << none << false
            << "fb:FictionBook";
        QTest::newRow("root a letter longer")
            << "f.fb2" << bytes(BookWithRoot("FictionBooks")) << none << false << "FictionBooks";
        QTest::newRow("other extension") << "g.txt" << bytes(Utf8Book) << none << false << "";
        QTest::newRow("fb2 inside the name only") << "g.fb2.bak" << bytes(Utf8Book) << none << false << "";
        QTest::newRow("empty file") << "h.fb2" << QByteArray() << none << false << "";
        QTest::newRow("malformed XML")
            << "i.fb2" << QByteArray("<FictionBook><p>a & b</p></FictionBook>") << none << false << "";
        QTest::newRow("plain text") << "j.fb2" << QByteArray("This is no book\n") << none << false << "";
        QTest::newRow("blank lines only") << "k.fb2" << QByteArray("\r\n\n") << none << false << "";

        QTest::newRow("zip with a book")
            << "l.zip" << QByteArray() << QByteArrayList{"book.fb2", book} << true << "FictionBook";
        QTest::newRow("zip extension in capitals")
            << "m.ZIP" << QByteArray() << QByteArrayList{"x", book} << true << "FictionBook";
        QTest::newRow("zip, first entry a picture")
            << "n.zip" << QByteArray()
            << QByteArrayList{"cover.jpg", "\xFF\xD8\xFF\xE0JFIF", "book.fb2", book} << false << "";
        QTest::newRow("zip, first entry a folder")
            << "o.zip" << QByteArray() << QByteArrayList{"books/", "", "books/book.fb2", book} << false << "";
        QTest::newRow("zip, first entry another root")
            << "p.zip" << QByteArray() << QByteArrayList{"page.html", bytes(BookWithRoot("html"))} << false
            << "html";
        QTest::newRow("zip, first entry empty")
            << "q.zip" << QByteArray() << QByteArrayList{"book.fb2", ""} << false << "";
        QTest::newRow("zip without entries") << "r.zip" << bytes(EmptyArchive) << none << false << "";
        QTest::newRow("zip of no bytes") << "s.zip" << QByteArray() << none << false << "";
    }

    void outcomes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, entries);
        QFETCH(bool, result);
        QFETCH(QString, root);

        const std::string path = Path(name.toStdString());
        if (entries.isEmpty()) {
            WriteTestFile(path, content.toStdString());
        } else {
            TZipEntries zipEntries;
            for (qsizetype i = 0; i + 1 < entries.size(); i += 2)
                zipEntries.push_back({entries[i].toStdString(), entries[i + 1].toStdString()});
            WriteZip(path, zipEntries);
        }
        std::unique_ptr<TXmlDocument> doc = TXmlDocument::ParseMemory("<stale/>");
        QCOMPARE(Open(path, doc), result);
        if (root.isEmpty()) {
            QVERIFY(!doc);
        } else {
            QVERIFY(doc);
            QCOMPARE(QString::fromStdString(doc->DocumentElement().Name()), root);
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // how the file is made
        QTest::addColumn<bool>("archiveError");

        QTest::newRow("missing fb2") << "missing.fb2"
                                     << "none" << false;
        QTest::newRow("missing zip") << "missing.zip"
                                     << "none" << true;
        QTest::newRow("zip that is no archive") << "noarchive.zip"
                                                << "text" << true;
        QTest::newRow("zip with a damaged entry") << "damaged.zip"
                                                  << "crc" << true;
        QTest::newRow("zip with an encrypted entry") << "locked.zip"
                                                     << "encrypted" << true;
        QTest::newRow("folder named like a book") << "folder.fb2"
                                                  << "folder" << false;
        QTest::newRow("pipe named like a book") << "pipe.fb2"
                                                << "fifo" << false;
        QTest::newRow("pipe named like an archive") << "pipe.zip"
                                                    << "fifo" << true;
    }

    void failures()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, archiveError);

        const std::string path = Path(name.toStdString());
        if (kind == "text") {
            WriteTestFile(path, Utf8Book);
        } else if (kind == "crc") {
            WriteZip(path, {{"book.fb2", Utf8Book}}, true);
            std::string bytes = ReadTestFile(path);
            const std::size_t at = bytes.find("текст");
            QVERIFY(at != std::string::npos);
            bytes[at] = 'X';
            WriteTestFile(path, bytes);
        } else if (kind == "encrypted") {
            int code = 0;
            zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
            QVERIFY(archive);
            zip_source_t* source = zip_source_buffer(archive, Utf8Book.data(), Utf8Book.size(), 0);
            const zip_int64_t index = zip_file_add(archive, "book.fb2", source, 0);
            QVERIFY(index >= 0);
            if (zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                        "secret") != 0) {
                zip_discard(archive);
                QSKIP("libzip was built without encryption");
            }
            QCOMPARE(zip_close(archive), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(QString::fromStdString(path)));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        }

        std::unique_ptr<TXmlDocument> doc = TXmlDocument::ParseMemory("<stale/>");
        try {
            Open(path, doc);
            QFAIL("no failure");
        } catch (const EArchiveError& e) {
            QVERIFY2(archiveError, e.what());
            QVERIFY(std::strstr(e.what(), path.c_str()) != nullptr);
        } catch (const EFileError& e) {
            QVERIFY2(!archiveError, e.what());
            QVERIFY(std::strstr(e.what(), path.c_str()) != nullptr);
        }
        QVERIFY(!doc);
    }

    // Larger than MaxBookSize is no book, and nothing of it is read: the plain file is sparse, and
    // the archive's entry would need a quarter of a gigabyte.
    void oversizedPlainFile()
    {
        const std::string path = Path("huge.fb2");
        WriteTestFile(path, "<FictionBook>");
        QFile file(QString::fromStdString(path));
        QVERIFY(file.resize(static_cast<qint64>(MaxBookSize) + 1));
        std::unique_ptr<TXmlDocument> doc;
        QCOMPARE(Open(path, doc), false);
        QVERIFY(!doc);
    }

    void oversizedEntry_data()
    {
        QTest::addColumn<bool>("honestSize");
        QTest::newRow("size stated in the directory") << true;
        QTest::newRow("entry inflates beyond its stated size") << false;
    }

    void oversizedEntry()
    {
        QFETCH(bool, honestSize);
        const std::string path = Path("huge.zip");
        const std::string head = "<FictionBook/>";
        // Both would be read as a book if the size went unchecked: the first states more than it
        // holds, which the archive reader does not mind; the second would end in a CRC error.
        if (honestSize)
            WriteTestFile(path, HandMadeZip(0, head, static_cast<std::uint32_t>(MaxBookSize + 1)));
        else
            WriteTestFile(path, HandMadeZip(8, DeflatedBlanks(head, MaxBookSize + 1),
                                            static_cast<std::uint32_t>(head.size())));
        std::unique_ptr<TXmlDocument> doc;
        QCOMPARE(Open(path, doc), false);
        QVERIFY(!doc);
    }

    // Every byte from 0x80 up as the code page assigns it (the system's converter as the reference),
    // 0x98 dropped.
    void cp1251Table()
    {
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string in(1, static_cast<char>(b));
            if (b == 0x98) {
                QCOMPARE(Cp1251ToUtf8(in), std::string());
                continue;
            }
            iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
            QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
            char out[8] = {};
            char* ip = const_cast<char*>(in.data());
            std::size_t il = 1;
            char* op = out;
            std::size_t ol = sizeof out;
            QVERIFY(iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1));
            iconv_close(cd);
            QCOMPARE(Cp1251ToUtf8(in), std::string(out, sizeof out - ol));
        }
        QCOMPARE(Cp1251ToUtf8(std::string("a\x98z\0\x7F", 5)), std::string("az\0\x7F", 4));
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("zipped");
        QTest::addColumn<QString>("title"); // empty: the file gives false without a document

        const auto bytes = [](const std::string& s) {
            return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
        };
        const std::string root = "<FictionBook><description><title-info><book-title>";
        const std::string end = "</book-title></title-info></description></FictionBook>";
        const std::string title = "Ёжик в тумане — «сказка»";
        const std::string cp1251 = Utf8ToCp1251(root + title + end + "\r\n");

        QTest::newRow("windows-1251")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n" + cp1251) << false
            << QString::fromStdString(title);
        QTest::newRow("windows-1251 zipped")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + cp1251) << true
            << QString::fromStdString(title);
        QTest::newRow("declaration in capitals")
            << bytes("<?XML VERSION=\"1.0\" ENCODING=\"WINDOWS-1251\"?>\n" + cp1251) << false
            << QString::fromStdString(title);
        QTest::newRow("declaration and root on one line")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1251\"?>" + cp1251) << false
            << QString::fromStdString(title);
        QTest::newRow("byte-order mark before the declaration")
            << bytes("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + cp1251) << false
            << QString::fromStdString(title);
        QTest::newRow("windows-1251 named in a processing instruction")
            << bytes("<?xml-stylesheet href=\"windows-1251.css\"?>\n" + cp1251) << false
            << QString::fromStdString(title);
        QTest::newRow("byte 0x98 vanishes")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + root + "\xC0\x98\xC1" + end)
            << false << "АБ";
        // The line ends at its CR, so the comment on the next line does not count.
        QTest::newRow("lone CR ends the first line")
            << bytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r<!-- windows-1251 -->\r" + root + title +
                     end)
            << false << QString::fromStdString(title);
        QTest::newRow("windows-1251 declared on the second line, decoded by the XML reader")
            << bytes("<?xml version=\"1.0\"\r\n encoding=\"windows-1251\"?>\r\n" + cp1251) << false
            << QString::fromStdString(title);

        QTest::newRow("UTF-8 with byte-order mark")
            << bytes("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root + title + end) << false
            << QString::fromStdString(title);
        QTest::newRow("UTF-8 without declaration")
            << bytes(root + title + end) << false << QString::fromStdString(title);
        QTest::newRow("KOI8-R") << bytes("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\n" + root +
                                         "\xf0\xd2\xc9\xd7\xc5\xd4" + end)
                                << false << "Привет";
        QTest::newRow("CP866") << bytes("<?xml version=\"1.0\" encoding=\"cp866\"?>\n" + root +
                                        "\x8f\xe0\xa8" + end)
                               << false << "При";
        QTest::newRow("ISO-8859-5") << bytes("<?xml version=\"1.0\" encoding=\"iso-8859-5\"?>\n" + root +
                                             "\xbf\xe0\xd8" + end)
                                    << false << "При";
        QTest::newRow("windows-1252")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + root + "Caf\xe9 \x80" + end)
            << false << "Café €";
        QTest::newRow("windows-1252 with an unassigned byte")
            << bytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + root + "\x81" + end) << false
            << "";
        QTest::newRow("invalid UTF-8") << bytes(root + "\xC0\xC1" + end) << false << "";
        QTest::newRow("unknown encoding")
            << bytes("<?xml version=\"1.0\" encoding=\"x-unknown\"?>\n" + root + "t" + end) << false << "";
        // č is U+010D and Ѝ is U+040D: their low byte is a CR, which must not become a line end.
        const std::string wide =
            "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + root + "čЍ" + end + "\r\n";
        QTest::newRow("UTF-16LE") << bytes(Utf8ToUtf16(wide, false)) << false << "čЍ";
        QTest::newRow("UTF-16BE") << bytes(Utf8ToUtf16(wide, true)) << true << "čЍ";
    }

    void encodings()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, zipped);
        QFETCH(QString, title);

        const std::string path = Path(zipped ? "enc.zip" : "enc.fb2");
        if (zipped)
            WriteZip(path, {{"enc.fb2", content.toStdString()}});
        else
            WriteTestFile(path, content.toStdString());
        std::unique_ptr<TXmlDocument> doc;
        const bool result = Open(path, doc);
        if (title.isEmpty()) {
            QVERIFY(!result);
            QVERIFY(!doc);
        } else {
            QVERIFY(result);
            QCOMPARE(QString::fromStdString(TitleOf(*doc)), title);
        }
    }

    // The fixture files: a book in Windows-1251 with CRLF line ends, and the same zipped.
    void fixtures()
    {
        for (const char* name : {"books/cp1251_crlf.fb2", "books/cp1251_crlf.fb2.zip"}) {
            std::unique_ptr<TXmlDocument> doc;
            QVERIFY2(Open(TestData(name), doc), name);
            QCOMPARE(QString::fromStdString(TitleOf(*doc)), QString("Три повести"));
        }
    }

    // Inputs that once went wrong in the reader (found by fuzzing): each is read as a plain file and
    // as an archive; whatever the outcome, it is an answer or one of our failures.
    void fuzzFindings()
    {
        QDirIterator it(QString::fromStdString(TestData("fuzz")), QDir::Files);
        int count = 0;
        while (it.hasNext()) {
            const std::string content = ReadTestFile(it.next().toStdString());
            for (const char* name : {"fuzz.fb2", "fuzz.zip"}) {
                const std::string path = Path(name);
                WriteTestFile(path, content);
                std::unique_ptr<TXmlDocument> doc;
                try {
                    Open(path, doc);
                } catch (const ELirvelError&) {
                    QVERIFY(!doc);
                }
            }
            ++count;
        }
        QVERIFY(count > 0);
    }
};

QTEST_GUILESS_MAIN(TestBookFile)
#include "test_book_file.moc"
