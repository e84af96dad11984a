#include "app/lirvelMainUnit.h"
#include "app/lirvel_application.h"
#include "app/lirvel_error_report.h"
#include "app/lirvel_status_panel.h"
#include "books/lirvel_dm_books.h"
#include "settings/lirvel_dm_params.h"
#include "testsupport.h"
#include "util/lirvel_datetime.h"
#include "viewer/lirvel_viewer.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <utime.h>

namespace {

std::string Fb2(const std::string& title, const std::string& last, const std::string& first,
                const std::string& genre, const std::string& serie = {}, const std::string& number = {})
{
    std::string sequence;
    if (!serie.empty())
        sequence = "<sequence name=\"" + serie + "\" number=\"" + number + "\"/>";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
           "<description><title-info><genre>" +
           genre + "</genre><author><first-name>" + first + "</first-name><last-name>" + last +
           "</last-name></author><book-title>" + title + "</book-title>" + sequence +
           "</title-info></description><body><section><p>Текст</p></section></body></FictionBook>\n";
}

// The window's sizes in the configuration, none of them the design value.
const char* const MainFormSection = R"(  <MainForm>
    <Left>100</Left>
    <Top>50</Top>
    <Width>1000</Width>
    <Height>700</Height>
    <CoverHeight>200</CoverHeight>
    <PanelWidth>300</PanelWidth>
    <NameWidth>250</NameWidth>
    <CountWidth>55</CountWidth>
    <AuthorWidth>120</AuthorWidth>
    <GenreWidth>110</GenreWidth>
    <SerieNameWidth>90</SerieNameWidth>
    <SerieBookWidth>61</SerieBookWidth>
  </MainForm>
)";

QStringList TopCaptions(const QAbstractItemModel* model)
{
    QStringList captions;
    for (int i = 0; i < model->rowCount(); ++i)
        captions << model->index(i, 0).data().toString();
    return captions;
}

QModelIndex Find(const QAbstractItemModel* model, const QString& caption, const QModelIndex& parent = {})
{
    for (int i = 0; i < model->rowCount(parent); ++i)
        if (model->index(i, 0, parent).data().toString() == caption)
            return model->index(i, 0, parent);
    return {};
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void libraryShownAndSizesSaved();

  private:
    std::string Path(const std::string& name) const
    {
        return FDir->filePath(QString::fromStdString(name)).toStdString();
    }
    void Click(const QModelIndex& index, Qt::MouseButton button = Qt::LeftButton);

    std::unique_ptr<QTemporaryDir> FDir;
    std::vector<std::string> FReports;
};

void TestMainWindow::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FReports.clear();
    SetExecutablePathProvider([this] { return Path("lirvel"); });
    SetErrorReporter([this](const std::string& message) { FReports.push_back(message); });
}

void TestMainWindow::cleanup()
{
    if (MainForm)
        FinishApplication();
    SetErrorReporter({});
    SetExecutablePathProvider({});
    FDir.reset();
}

void TestMainWindow::Click(const QModelIndex& index, Qt::MouseButton button)
{
    QTreeView* view = MainForm->TLV;
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), button, {}, view->visualRect(index).center());
}

void TestMainWindow::libraryShownAndSizesSaved()
{
    const std::string books = Path("books");
    WriteTestFile(books + "/night.fb2", Fb2("Ночной дозор", "Лукьяненко", "Сергей", "sf", "Дозоры", "1"));
    WriteTestFile(books + "/day.fb2", Fb2("Дневной дозор", "Лукьяненко", "Сергей", "sf", "Дозоры", "2"));
    WriteTestFile(books + "/verse.fb2", Fb2("Verses", "Smith", "John", "poetry"));
    // A stored book whose stamp matches is restored from the list without reading the file.
    const std::string stored = books + "/stored.fb2";
    WriteTestFile(stored, Fb2("Title in the file", "Other", "Author", "sf"));
    const std::time_t stamp = 1577880000; // 1 January 2020, noon (UTC)
    const utimbuf times{stamp, stamp};
    QCOMPARE(::utime(stored.c_str(), &times), 0);
    WriteTestFile(
        Path("lirvel.xml"),
        std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RoVezuzur>\n  <Parameters>\n"
                    "    <ExeReader></ExeReader>\n  </Parameters>\n") +
            MainFormSection + "  <Folders>\n    <folder>" + books +
            "</folder>\n  </Folders>\n  <BooksList>\n    <Book File=\"" + stored + "\" Changed=\"" +
            DateTimeToText(UnixTimeToDateTime(stamp)) +
            "\">\n      <BookName>Из списка</BookName>\n      <genre>sf</genre>\n"
            "      <AuthorShort>Иванов Иван</AuthorShort>\n      <AuthorLong>Иванов Иван "
            "Иванович</AuthorLong>\n"
            "      <SerieName></SerieName>\n      <SerieBook></SerieBook>\n"
            "      <IsFavorite>True</IsFavorite>\n      <BookState>bsRead</BookState>\n    </Book>\n"
            "  </BooksList>\n</RoVezuzur>\n");

    StartApplication();
    QVERIFY(!ApplicationTerminated);
    QCOMPARE(FReports, std::vector<std::string>());
    QCOMPARE(MainForm->PanelText(0), QString("К-во: 4"));
    QTreeView* view = MainForm->TLV;
    QAbstractItemModel* model = view->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QStringList top = TopCaptions(model);
    QCOMPARE(top.first(), QString("Избранные"));
    QVERIFY2(top.contains("Новые"), qPrintable(top.join(",")));
    QCOMPARE(top.mid(top.indexOf("Читаемые")), QStringList({"Читаемые", "Авторы", "Жанры", "Серии"}));
    const QModelIndex favourites = Find(model, "Избранные");
    QCOMPARE(model->index(0, 0, favourites).data().toString(), QString("Из списка"));
    const QModelIndex authors = Find(model, "Авторы");
    QCOMPARE(authors.siblingAtColumn(1).data().toString(), QString("3 (4)"));
    QVERIFY(Find(model, "Smith John", authors).isValid());

    MainForm->show();
    MainForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(MainForm));
    QCOMPARE(MainForm->windowTitle(), QString("Лирвель 1.0.1"));
    QVERIFY(!MainForm->Panel1->isVisible());
    // The widths from the file survive the tree's first build.
    const int widths[] = {250, 55, 120, 110, 90, 61};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(view->header()->sectionSize(i), widths[i]);
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QString("Книга №"));

    // A group row, selected with the right mouse button: no book on the card.
    Click(authors, Qt::RightButton);
    QCOMPARE(MainForm->TLV->SelectedRow()->Caption(), std::string("Авторы"));
    QCOMPARE(MainForm->BookViewer1->CurrentBook, nullptr);
    QVERIFY(!MainForm->Panel1->isVisible());
    // Its double click opens nothing and keeps the window.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(authors).center());
    QVERIFY(!ApplicationTerminated);

    // A book row: its book on the card.
    view->expand(authors);
    const QModelIndex author = Find(model, "Лукьяненко Сергей", authors);
    view->expand(author);
    QCOMPARE(model->rowCount(author), 2);
    const QModelIndex first = model->index(0, 0, author);
    QCOMPARE(first.data().toString(), QString("Ночной дозор"));
    QCOMPARE(first.siblingAtColumn(5).data().toString(), QString("1"));
    QCOMPARE(first.siblingAtColumn(3).data().toString(), QString("Научная Фантастика"));
    Click(first);
    TBookItem* book = MainForm->BookViewer1->CurrentBook;
    QVERIFY(book);
    QCOMPARE(book->BookName, std::string("Ночной дозор"));
    QVERIFY(MainForm->Panel1->isVisible());

    // The cells and the status bar's panels are there for screen readers, with the column captions.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
    QVERIFY(tree && tree->tableInterface());
    QAccessibleInterface* cell = tree->tableInterface()->cellAt(0, 0);
    QVERIFY(cell && cell->tableCellInterface());
    QCOMPARE(cell->text(QAccessible::Name), QString("Избранные"));
    const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers.first()->text(QAccessible::Name), QString("Наименование"));
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(MainForm->StatusPanels[0]);
    QCOMPARE(panel->text(QAccessible::Name), QString("К-во: 4"));
    QVERIFY(!panel->text(QAccessible::Description).isEmpty());

    // A picture of the window for a person to look at, when asked for: the second book hovered.
    if (const QByteArray shot = qgetenv("LIRVEL_SCREENSHOT"); !shot.isEmpty()) {
        QTest::mouseMove(view->viewport(), view->visualRect(model->index(1, 0, author)).center());
        QTest::qWait(50);
        QVERIFY(MainForm->grab().save(QString::fromLocal8Bit(shot)));
    }

    // Esc: nothing selected, no card, and selecting again shows it again.
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!view->selectionModel()->hasSelection());
    QCOMPARE(MainForm->BookViewer1->CurrentBook, nullptr);
    QVERIFY(!MainForm->Panel1->isVisible());
    Click(first);
    QCOMPARE(MainForm->BookViewer1->CurrentBook, book);

    // Alt+F4 closes and saves, the window's sizes included.
    MainForm->SetFormValue(TFormValue::NameWidth, 260);
    QTest::keyClick(MainForm, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(ApplicationTerminated);
    FinishApplication();
    QCOMPARE(FReports, std::vector<std::string>());
    const std::string saved = ReadTestFile(Path("lirvel.xml"));
    for (const char* element :
         {"    <Width>1000</Width>\n", "    <Height>700</Height>\n", "    <PanelWidth>300</PanelWidth>\n",
          "    <CoverHeight>200</CoverHeight>\n", "    <NameWidth>260</NameWidth>\n",
          "    <CountWidth>55</CountWidth>\n", "    <AuthorWidth>120</AuthorWidth>\n",
          "    <GenreWidth>110</GenreWidth>\n", "    <SerieNameWidth>90</SerieNameWidth>\n",
          "    <SerieBookWidth>61</SerieBookWidth>\n"})
        QVERIFY2(saved.find(element) != std::string::npos, element);
    QVERIFY(saved.find("<BookName>Из списка</BookName>") != std::string::npos);
    QVERIFY(saved.find("<BookName>Verses</BookName>") != std::string::npos);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
