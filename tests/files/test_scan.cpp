#include "files/lirvel_dm_files.h"
#include "testglobals.h"
#include "testsupport.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

class TestScan : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listsBookFilesByExtension();
    void processesMessagesOncePerEntry();
    void pathsKeepTheFolderTextAsConfigured();
    void folderConfiguredTwiceListsEverythingTwice();
    void missingFolderAddsNothing();
    void stampIsLocalTimeToTheSecond();
    void linksAreFollowed();
    void listOperations();

private:
    std::string Folder() const { return FDir->filePath("books").toStdString(); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < dm_files->Count(); ++i)
            names.push_back(dm_files->Items(i)->FileName);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TGlobals> FGlobals;
};

void TestScan::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FGlobals = std::make_unique<TGlobals>();
    for (const char* name : {"Book.FB2", "Book.Zip", "Book.fb2.zip", "Book.fb2.bak", "Book.txt", ".notes.fb2",
                             "plain.fb2", "noextension", "sub/inner.fb2", "old.zip/inside.fb2"})
        WriteTestFile(Folder() + "/" + name, "x");
}

void TestScan::cleanup()
{
    FGlobals.reset();
    FDir.reset();
}

void TestScan::listsBookFilesByExtension()
{
    dm_files->ScanFolder(Folder());
    const std::string f = Folder() + "/";
    // Upper-case extensions, a hidden file and a sub-folder named like a book are listed; a file
    // in a sub-folder is not.
    QCOMPARE(Names(), (std::vector<std::string>{f + ".notes.fb2", f + "Book.FB2", f + "Book.Zip", f + "Book.fb2.zip",
                                                f + "old.zip", f + "plain.fb2"}));
}

void TestScan::processesMessagesOncePerEntry()
{
    dm_files->ScanFolder(Folder());
    // Once for every entry whose name holds a dot, book or not ("noextension" and "sub" have none).
    QCOMPARE(FGlobals->Host.Messages, 8);
}

void TestScan::pathsKeepTheFolderTextAsConfigured()
{
    dm_files->ScanFolder(Folder() + "/");
    QVERIFY(dm_files->IndexOf(Folder() + "//plain.fb2") >= 0);
    QCOMPARE(dm_files->IndexOf(Folder() + "/plain.fb2"), -1);
    QCOMPARE(dm_files->IndexOf(Folder() + "//PLAIN.fb2"), -1);
}

void TestScan::folderConfiguredTwiceListsEverythingTwice()
{
    dm_files->ScanFolder(Folder());
    dm_files->ScanFolder(Folder());
    QCOMPARE(dm_files->Count(), 12);
    const std::string path = Folder() + "/plain.fb2";
    QCOMPARE(std::count_if(dm_files->FilesList->begin(), dm_files->FilesList->end(),
                           [&](const auto& item) { return item->FileName == path; }),
             2);
}

void TestScan::missingFolderAddsNothing()
{
    dm_files->ScanFolder(Folder() + "/nowhere");
    dm_files->ScanFolder("");
    QCOMPARE(dm_files->Count(), 0);
}

void TestScan::stampIsLocalTimeToTheSecond()
{
    const std::string path = Folder() + "/plain.fb2";
    const QDateTime when(QDate(2011, 5, 13), QTime(14, 30, 0));
    utimbuf times{};
    times.actime = times.modtime = static_cast<time_t>(when.toSecsSinceEpoch());
    QCOMPARE(::utime(path.c_str(), &times), 0);
    dm_files->ScanFolder(Folder());
    const int index = dm_files->IndexOf(path);
    QVERIFY(index >= 0);
    QCOMPARE(dm_files->Items(index)->Changed, EncodeDateTime(2011, 5, 13, 14, 30, 0));
}

void TestScan::linksAreFollowed()
{
    const std::string f = Folder() + "/";
    QCOMPARE(::symlink((f + "plain.fb2").c_str(), (f + "link.fb2").c_str()), 0);
    QCOMPARE(::symlink((f + "gone.txt").c_str(), (f + "dangling.fb2").c_str()), 0);
    dm_files->ScanFolder(Folder());
    QVERIFY(dm_files->IndexOf(f + "link.fb2") >= 0);
    QCOMPARE(dm_files->IndexOf(f + "dangling.fb2"), -1); // its status cannot be read
}

void TestScan::listOperations()
{
    dm_files->ScanFolder(Folder());
    const int count = dm_files->Count();
    const std::string second = dm_files->Items(1)->FileName;
    dm_files->Delete(0);
    QCOMPARE(dm_files->Count(), count - 1);
    QCOMPARE(dm_files->Items(0)->FileName, second);
    dm_files->Clear();
    QCOMPARE(dm_files->Count(), 0);
    dm_files->Clear();
    QCOMPARE(dm_files->Count(), 0);
}

QTEST_GUILESS_MAIN(TestScan)
#include "test_scan.moc"
