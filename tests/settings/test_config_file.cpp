#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dm_params.h"
#include "testglobals.h"
#include "testsupport.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_file_io.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const EmptyConfig = R"(<?xml version="1.0" encoding="utf-8"?>
<RoVezuzur comment="Библиотека книг FB2">
  <Parameters>
    <ExeReader></ExeReader>
  </Parameters>
  <MainForm>
    <Left>352</Left>
    <Top>209</Top>
    <Width>954</Width>
    <Height>657</Height>
    <CoverHeight>211</CoverHeight>
    <PanelWidth>349</PanelWidth>
    <NameWidth>100</NameWidth>
    <CountWidth>50</CountWidth>
    <AuthorWidth>50</AuthorWidth>
    <GenreWidth>50</GenreWidth>
    <SerieNameWidth>50</SerieNameWidth>
    <SerieBookWidth>60</SerieBookWidth>
  </MainForm>
  <Folders>
  </Folders>
  <BooksList>
  </BooksList>
</RoVezuzur>
)";

const char* const TypicalConfig = R"(<?xml version="1.0" encoding="utf-8"?>
<RoVezuzur comment="Библиотека книг FB2">
  <Parameters>
    <ExeReader>/usr/bin/reader &amp; co &lt;x&gt; "q"</ExeReader>
  </Parameters>
  <MainForm>
    <Left>-12</Left>
    <Top>0</Top>
    <Width>1200</Width>
    <Height>800</Height>
    <CoverHeight>250</CoverHeight>
    <PanelWidth>400</PanelWidth>
    <NameWidth>300</NameWidth>
    <CountWidth>51</CountWidth>
    <AuthorWidth>120</AuthorWidth>
    <GenreWidth>110</GenreWidth>
    <SerieNameWidth>90</SerieNameWidth>
    <SerieBookWidth>61</SerieBookWidth>
  </MainForm>
  <Folders>
    <folder>/home/u/Книги</folder>
    <folder>/home/u/a&amp;b/</folder>
    <folder>/home/u/Книги</folder>
  </Folders>
  <BooksList>
  </BooksList>
</RoVezuzur>
)";

std::string Wrap(const std::string& sections)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RoVezuzur comment=\"x\">\n" + sections + "</RoVezuzur>\n";
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyConfigurationIsWrittenByteForByte();
    void typicalConfigurationIsWrittenByteForByte();
    void typicalConfigurationReadsBack();
    void configPath_data();
    void configPath();
    void readingRules_data();
    void readingRules();
    void loadFailures_data();
    void loadFailures();
    void sectionsAreHandledInDocumentOrder();
    void saveIsAtomic();
    void saveFailureKeepsThePreviousFile();
    void failedLoadKeepsACopyBeforeTheFirstSave();
    void successfulLoadKeepsNoCopy();
    void noFolderOpensTheSettings();

private:
    std::string ConfigPath() const { return FDir->filePath("lirvel.xml").toStdString(); }
    void LoadText(const std::string& text)
    {
        WriteTestFile(ConfigPath(), text);
        dmParams->ConfigFileName = ConfigPath();
        dmParams->LoadConfig();
    }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TGlobals> FGlobals;
};

void TestConfigFile::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FGlobals = std::make_unique<TGlobals>();
    SetExecutablePathProvider([this] { return FDir->filePath("lirvel").toStdString(); });
}

void TestConfigFile::cleanup()
{
    SetExecutablePathProvider({});
    FGlobals.reset();
    FDir.reset();
}

void TestConfigFile::emptyConfigurationIsWrittenByteForByte()
{
    dmParams->ConfigFileName = ConfigPath();
    dmParams->SaveConfig();
    QCOMPARE(QByteArray::fromStdString(ReadTestFile(ConfigPath())), QByteArray(EmptyConfig));
}

void TestConfigFile::typicalConfigurationIsWrittenByteForByte()
{
    dmParams->ConfigFileName = ConfigPath();
    dmParams->ExeReader = R"(/usr/bin/reader & co <x> "q")";
    dmParams->Folders = {"/home/u/Книги", "/home/u/a&b/", "/home/u/Книги"};
    const int values[] = {-12, 0, 1200, 800, 250, 400, 300, 51, 120, 110, 90, 61};
    for (int i = 0; i < FormValueCount; ++i)
        FGlobals->Host.SetFormValue(static_cast<TFormValue>(i), values[i]);
    dmParams->SaveConfig();
    QCOMPARE(QByteArray::fromStdString(ReadTestFile(ConfigPath())), QByteArray(TypicalConfig));
}

void TestConfigFile::typicalConfigurationReadsBack()
{
    LoadText(TypicalConfig);
    QCOMPARE(dmParams->ExeReader, std::string(R"(/usr/bin/reader & co <x> "q")"));
    QCOMPARE(dmParams->Folders, (std::vector<std::string>{"/home/u/Книги", "/home/u/a&b/", "/home/u/Книги"}));
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Left), -12);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::SerieBookWidth), 61);
    QCOMPARE(FGlobals->Host.SetMaxCalls, 1);
    QCOMPARE(FGlobals->Host.Max, 0);
    QCOMPARE(FGlobals->Host.BookCount, 0);
    // Writing what was read gives the same file again.
    dmParams->SaveConfig();
    QCOMPARE(QByteArray::fromStdString(ReadTestFile(ConfigPath())), QByteArray(TypicalConfig));
}

void TestConfigFile::configPath_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("config");
    QTest::newRow("no extension") << "/opt/books/shelf" << "/opt/books/shelf.xml";
    QTest::newRow("extension") << "/opt/books/shelf.bin" << "/opt/books/shelf.xml";
    QTest::newRow("two dots") << "/opt/books/shelf.v2.bin" << "/opt/books/shelf.v2.xml";
    QTest::newRow("dot in a folder only") << "/opt/books.d/shelf" << "/opt/books.d/shelf.xml";
    QTest::newRow("hidden name") << "/opt/.shelf" << "/opt/.xml";
}

void TestConfigFile::configPath()
{
    QFETCH(QString, exe);
    QFETCH(QString, config);
    QCOMPARE(QString::fromStdString(ConfigPathFor(exe.toStdString())), config);
}

void TestConfigFile::readingRules_data()
{
    QTest::addColumn<QString>("sections");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<int>("width");

    QTest::newRow("no MainForm: design values") << "" << "" << QStringList() << 954;
    QTest::newRow("blank before the number")
        << "<MainForm><Width> 800</Width></MainForm>" << "" << QStringList() << 800;
    QTest::newRow("hex width") << "<MainForm><Width>$320</Width></MainForm>" << "" << QStringList() << 800;
    QTest::newRow("lower-case width ignored")
        << "<MainForm><width>800</width></MainForm>" << "" << QStringList() << 954;
    QTest::newRow("later duplicate wins")
        << "<MainForm><Width>700</Width><Width>701</Width></MainForm>" << "" << QStringList() << 701;
    QTest::newRow("self-closing ExeReader")
        << "<Parameters><ExeReader/></Parameters>" << "" << QStringList() << 954;
    QTest::newRow("second ExeReader wins")
        << "<Parameters><ExeReader>/a</ExeReader><ExeReader>/b</ExeReader></Parameters>" << "/b" << QStringList()
        << 954;
    QTest::newRow("empty ExeReader keeps the earlier one")
        << "<Parameters><ExeReader>/a</ExeReader><ExeReader></ExeReader></Parameters>" << "/a" << QStringList()
        << 954;
    QTest::newRow("reader text taken whole")
        << "<Parameters><ExeReader> /a b </ExeReader></Parameters>" << " /a b " << QStringList() << 954;
    QTest::newRow("reader with entity") << "<Parameters><ExeReader>/r &amp; co</ExeReader></Parameters>"
                                        << "/r & co" << QStringList() << 954;
    QTest::newRow("folder element of any name")
        << "<Folders><path>/x</path><folder>/y</folder></Folders>" << "" << QStringList{"/x", "/y"} << 954;
    QTest::newRow("comment inside Folders is no folder")
        << "<Folders><!-- old --><folder>/y</folder></Folders>" << "" << QStringList{"/y"} << 954;
    QTest::newRow("folder twice") << "<Folders><folder>/x</folder><folder>/x</folder></Folders>" << ""
                                  << QStringList{"/x", "/x"} << 954;
    QTest::newRow("unknown sections ignored")
        << "<Other><Width>1</Width></Other><mainform><Width>2</Width></mainform>" << "" << QStringList() << 954;
}

void TestConfigFile::readingRules()
{
    QFETCH(QString, sections);
    QFETCH(QString, reader);
    QFETCH(QStringList, folders);
    QFETCH(int, width);
    LoadText(Wrap(sections.toStdString()));
    QCOMPARE(QString::fromStdString(dmParams->ExeReader), reader);
    QStringList read;
    for (const std::string& f : dmParams->Folders)
        read << QString::fromStdString(f);
    QCOMPARE(read, folders);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Width), width);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Height), 657);
}

void TestConfigFile::loadFailures_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("folders");

    const QString head = "<Parameters><ExeReader>/r</ExeReader></Parameters>";
    QTest::newRow("not well-formed") << QString::fromStdString(Wrap("<Parameters><ExeReader>/r & co</ExeReader>"
                                                                    "</Parameters>"))
                                     << "" << 352 << 954 << 0;
    QTest::newRow("unescaped less-than") << QString::fromStdString(Wrap("<Folders><folder>a<b</folder></Folders>"))
                                         << "" << 352 << 954 << 0;
    QTest::newRow("truncated file") << QString(TypicalConfig).left(400) << "" << 352 << 954 << 0;
    QTest::newRow("number with a unit")
        << QString::fromStdString(Wrap(head.toStdString() + "<MainForm><Left>5</Left><Width>800px</Width>"
                                                            "<Height>10</Height></MainForm><Folders><folder>/f"
                                                            "</folder></Folders>"))
        << "/r" << 5 << 954 << 0;
    QTest::newRow("empty geometry element")
        << QString::fromStdString(Wrap(head.toStdString() + "<MainForm><Left>5</Left><Width/></MainForm>"))
        << "/r" << 5 << 954 << 0;
    QTest::newRow("out of range")
        << QString::fromStdString(Wrap(head.toStdString() + "<MainForm><Left>9999999999</Left></MainForm>"))
        << "/r" << 352 << 954 << 0;
    QTest::newRow("self-closing folder")
        << QString::fromStdString(Wrap(head.toStdString() + "<Folders><folder>/a</folder><folder/>"
                                                            "<folder>/b</folder></Folders>"))
        << "/r" << 352 << 954 << 1;
}

void TestConfigFile::loadFailures()
{
    QFETCH(QString, text);
    QFETCH(QString, reader);
    QFETCH(int, left);
    QFETCH(int, width);
    QFETCH(int, folders);
    QVERIFY_THROWS_EXCEPTION(ELirvelError, LoadText(text.toStdString()));
    // What was applied before the failure stays applied; nothing after it is.
    QCOMPARE(QString::fromStdString(dmParams->ExeReader), reader);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Left), left);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Width), width);
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Height), 657);
    QCOMPARE(int(dmParams->Folders.size()), folders);
    QCOMPARE(FGlobals->Host.BookCount, -1); // the status text is one of the skipped steps
}

void TestConfigFile::sectionsAreHandledInDocumentOrder()
{
    // A later MainForm section overrides an earlier one, and Folders is scanned where it stands.
    const std::string folder = FDir->filePath("books").toStdString();
    WriteTestFile(folder + "/a.fb2", "x");
    LoadText(Wrap("<MainForm><Width>700</Width></MainForm><Folders><folder>" + folder +
                  "</folder></Folders><MainForm><Width>701</Width></MainForm>"));
    QCOMPARE(FGlobals->Host.FormValue(TFormValue::Width), 701);
    QCOMPARE(FGlobals->Host.Max, 1);
    QCOMPARE(dm_files->Count(), 0); // the merge consumed the scan
}

void TestConfigFile::saveIsAtomic()
{
    dmParams->ConfigFileName = ConfigPath();
    WriteTestFile(ConfigPath(), "old content");
    dmParams->Folders = {"/x"};
    dmParams->SaveConfig();
    QVERIFY(ReadTestFile(ConfigPath()).find("<folder>/x</folder>") != std::string::npos);
    // Only the configuration file is left in the folder: no temporary file stays behind.
    QCOMPARE(QDir(FDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lirvel.xml"});
}

void TestConfigFile::saveFailureKeepsThePreviousFile()
{
    // A folder that does not exist: nothing can be created.
    dmParams->ConfigFileName = FDir->filePath("missing/lirvel.xml").toStdString();
    QVERIFY_THROWS_EXCEPTION(EFileError, dmParams->SaveConfig());

    // The rename fails (the target is a folder that holds a file): the target stays as it was and
    // the temporary file is removed.
    const QString target = FDir->filePath("lirvel.xml");
    QVERIFY(QDir().mkpath(target));
    WriteTestFile((target + "/inside").toStdString(), "previous");
    dmParams->ConfigFileName = target.toStdString();
    QVERIFY_THROWS_EXCEPTION(EFileError, dmParams->SaveConfig());
    QCOMPARE(ReadTestFile((target + "/inside").toStdString()), std::string("previous"));
    QCOMPARE(QDir(FDir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"lirvel.xml"});

    if (::geteuid() != 0) {
        // A folder the user may not write into.
        const QString sub = FDir->filePath("ro");
        QVERIFY(QDir().mkpath(sub));
        const std::string path = (sub + "/lirvel.xml").toStdString();
        WriteTestFile(path, "previous");
        QVERIFY(::chmod(sub.toLocal8Bit().constData(), 0555) == 0);
        dmParams->ConfigFileName = path;
        QVERIFY_THROWS_EXCEPTION(EFileError, dmParams->SaveConfig());
        ::chmod(sub.toLocal8Bit().constData(), 0755);
        QCOMPARE(ReadTestFile(path), std::string("previous"));
    }
}

void TestConfigFile::failedLoadKeepsACopyBeforeTheFirstSave()
{
    const std::string broken = Wrap("<Parameters><ExeReader>/r</ExeReader></Parameters><BooksList><Book File=");
    WriteTestFile(ConfigPath(), broken);
    const std::string copy = ConfigPath() + ".damaged";
    try {
        dmParams->DataModuleCreate();
        QFAIL("the load did not fail");
    } catch (const ELirvelError& error) {
        // The report tells the user where the file will be kept.
        QVERIFY(std::string(error.what()).find(copy) != std::string::npos);
    }
    QCOMPARE(dmParams->KeptCopyName(), copy);
    QCOMPARE(FGlobals->Host.ConfigDialogs, 0); // the check for folders is skipped after a failure
    QVERIFY(!PathExists(copy));

    dmParams->SaveConfig();
    QCOMPARE(ReadTestFile(copy), broken);
    QVERIFY(ReadTestFile(ConfigPath()) != broken);
    // A second save of the same run does not copy the new file over the kept one.
    dmParams->SaveConfig();
    QCOMPARE(ReadTestFile(copy), broken);

    // A later failed run keeps its file under a new name, leaving the first copy alone.
    const std::string broken2 = "<not xml";
    WriteTestFile(ConfigPath(), broken2);
    TdmParams second;
    QVERIFY_THROWS_EXCEPTION(ELirvelError, second.DataModuleCreate());
    QCOMPARE(second.KeptCopyName(), copy + ".2");
    second.SaveConfig();
    QCOMPARE(ReadTestFile(copy), broken);
    QCOMPARE(ReadTestFile(copy + ".2"), broken2);
}

void TestConfigFile::successfulLoadKeepsNoCopy()
{
    WriteTestFile(ConfigPath(), TypicalConfig);
    dmParams->DataModuleCreate();
    QVERIFY(dmParams->KeptCopyName().empty());
    dmParams->SaveConfig();
    QCOMPARE(QDir(FDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lirvel.xml"});
}

void TestConfigFile::noFolderOpensTheSettings()
{
    // No file at all: nothing is loaded and the settings open.
    dmParams->DataModuleCreate();
    QCOMPARE(FGlobals->Host.ConfigDialogs, 1);
    QCOMPARE(FGlobals->Host.BookCount, -1);
    QCOMPARE(dmParams->ConfigFileName, ConfigPath());
    // An empty Folders section: the load runs, then the settings open.
    WriteTestFile(ConfigPath(), Wrap("<Folders></Folders>"));
    dmParams->DataModuleCreate();
    QCOMPARE(FGlobals->Host.ConfigDialogs, 2);
    QCOMPARE(FGlobals->Host.BookCount, 0);
    QCOMPARE(FGlobals->Host.Max, 0);
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
