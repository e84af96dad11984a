#include "app/lirvelMainUnit.h"
#include "app/lirvel_application.h"
#include "app/lirvel_error_report.h"
#include "app/lirvel_splash.h"
#include "app/lirvel_status_panel.h"
#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dlg_params.h"
#include "settings/lirvel_dm_params.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace {

// Answers the settings dialog as soon as it is shown modally: OK after filling it, or Cancel.
void AnswerNextDialog(bool ok, const QString& folder = {}, const QString& reader = {})
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<TdlgParams*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (!ok) {
            dialog->reject();
            return;
        }
        dialog->ListBox1->addItem(folder);
        dialog->ebExeReader->setText(reader);
        dialog->accept();
    });
    timer->start();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStartOpensTheSettingsAndSavesOnExit();
    void confirmedSettingsAreSavedAndTheProgramRestarts();
    void damagedConfigurationIsReportedAndKept();
    void closingReleasesTheSplashBeforeSaving();

private:
    std::string Path(const char* name) const { return FDir->filePath(name).toStdString(); }

    std::unique_ptr<QTemporaryDir> FDir;
    std::vector<std::string> FReports;
};

void TestStartup::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FReports.clear();
    SetExecutablePathProvider([this] { return Path("lirvel"); });
    SetErrorReporter([this](const std::string& message) { FReports.push_back(message); });
}

void TestStartup::cleanup()
{
    SetErrorReporter({});
    SetExecutablePathProvider({});
    FDir.reset();
}

void TestStartup::firstStartOpensTheSettingsAndSavesOnExit()
{
    AnswerNextDialog(false);
    StartApplication();
    QVERIFY(!ApplicationTerminated);
    QCOMPARE(MainForm->windowTitle(), QString("Лирвель 1.0.1"));
    QVERIFY(SplashForm);
    QCOMPARE(MainForm->PanelText(0), QString());
    QVERIFY(!MainForm->isVisible());
    MainForm->show();
    MainForm->close();
    QVERIFY(ApplicationTerminated);
    FinishApplication();
    QVERIFY(FReports.empty());
    const std::string saved = ReadTestFile(Path("lirvel.xml"));
    QVERIFY(saved.find("  <Folders>\n  </Folders>\n  <BooksList>\n  </BooksList>\n</RoVezuzur>\n") !=
            std::string::npos);
    QVERIFY(saved.find("    <ExeReader></ExeReader>\n") != std::string::npos);
    QVERIFY2(saved.find("    <Width>954</Width>\n") != std::string::npos, saved.c_str());
}

void TestStartup::confirmedSettingsAreSavedAndTheProgramRestarts()
{
    // The new instance is a stand-in that leaves a mark and ends.
    const std::string mark = Path("started");
    WriteTestFile(Path("lirvel"), "#!/bin/sh\ntouch '" + mark + "'\n");
    QCOMPARE(::chmod(Path("lirvel").c_str(), 0755), 0);
    const QString folder = FDir->filePath("books");

    AnswerNextDialog(true, folder, "/usr/bin/reader");
    StartApplication();
    // OK closed the main window before it was ever shown: the event loop must not run.
    QVERIFY(ApplicationTerminated);
    QVERIFY(!SplashForm);
    const std::string afterOk = ReadTestFile(Path("lirvel.xml"));
    QVERIFY(afterOk.find("<folder>" + folder.toStdString() + "</folder>") != std::string::npos);
    FinishApplication();
    QVERIFY(FReports.empty());
    QCOMPARE(ReadTestFile(Path("lirvel.xml")), afterOk);
    QTRY_VERIFY(QFileInfo::exists(QString::fromStdString(mark)));
}

void TestStartup::damagedConfigurationIsReportedAndKept()
{
    const std::string damaged = "<?xml version=\"1.0\"?>\n<RoVezuzur><Folders><folder>/x</folder>";
    WriteTestFile(Path("lirvel.xml"), damaged);
    StartApplication(); // no settings dialog: the check for folders is skipped after a failure
    QVERIFY(!ApplicationTerminated);
    QCOMPARE(FReports.size(), std::size_t(1));
    QVERIFY(FReports[0].find(Path("lirvel.xml.damaged")) != std::string::npos);
    QCOMPARE(MainForm->PanelText(0), QString());
    MainForm->close();
    FinishApplication();
    QCOMPARE(ReadTestFile(Path("lirvel.xml.damaged")), damaged);
    QVERIFY(ReadTestFile(Path("lirvel.xml")).find("</RoVezuzur>\n") != std::string::npos);
}

void TestStartup::closingReleasesTheSplashBeforeSaving()
{
    const QString folder = FDir->filePath("books");
    QVERIFY(QDir().mkpath(folder));
    WriteTestFile(Path("lirvel.xml"), "<RoVezuzur><Folders><folder>" + folder.toStdString() +
                                          "</folder></Folders><MainForm><Width>801</Width></MainForm></RoVezuzur>");
    StartApplication();
    QCOMPARE(MainForm->PanelText(0), QString("К-во: 0"));
    const TStatusPanel* panel = MainForm->StatusPanels[0];
    QCOMPARE(panel->PanelWidth(), panel->fontMetrics().horizontalAdvance("К-во: 0") + 8);
    QPointer<TSplashForm> splash = SplashForm;
    MainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(MainForm));
    QTest::keyClick(MainForm, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(ApplicationTerminated);
    QVERIFY(!splash);
    QVERIFY(!SplashForm);
    // The main window still exists when the file is written: its sizes are in it.
    FinishApplication();
    QVERIFY(ReadTestFile(Path("lirvel.xml")).find("    <Width>801</Width>\n") != std::string::npos);
    QVERIFY(!MainForm && !dmParams && !dmBooks && !dm_files && !dlgParams);
    QVERIFY(FReports.empty());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
