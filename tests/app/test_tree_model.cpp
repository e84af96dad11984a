#include "app/lirvel_tree_model.h"
#include "books/lirvel_dm_books.h"
#include "testglobals.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

namespace {

TBookItem* AddBook(const std::string& title, const std::string& author, bool favorite,
                   TBookState state = bsNone)
{
    auto book = std::make_unique<TBookItem>();
    book->BookName = title;
    book->AuthorShort = {author};
    book->AuthorLong = {author + " Long"};
    book->Genres = {"sf"};
    book->File.FileName = "/books/" + title + ".fb2";
    book->File.Changed = EncodeDateTime(2020, 1, 1);
    book->IsFavorite = favorite;
    book->BookState = state;
    return dmBooks->Books->Add(std::move(book));
}

} // namespace

class TestTreeModel : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void modelOverBuiltTree();
    void selectedRowDeletedLeavesNoSelection();
    void expandedRowsStayExpanded();
    void largeUpdateIsOneLayoutChange();
    void columnWidthsSurviveTheFirstBuild();
    void accessibleTexts();

  private:
    std::unique_ptr<TGlobals> FGlobals;
    std::unique_ptr<TTreeList> FTree;
    QList<QIcon> FImages;
    std::unique_ptr<TTreeModel> FModel;
    std::unique_ptr<TTreeListView> FView;
    std::unique_ptr<QAbstractItemModelTester> FTester;
};

void TestTreeModel::init()
{
    FGlobals = std::make_unique<TGlobals>();
    FTree = std::make_unique<TTreeList>();
    FGlobals->Host.Tree = FTree.get();
    FGlobals->Host.TodayDate = QDate(2023, 11, 15);
    for (int i = 0; i < 21; ++i)
        FImages << QIcon();
    FModel = std::make_unique<TTreeModel>(FTree.get(), &FImages);
    FTester = std::make_unique<QAbstractItemModelTester>(
        FModel.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    FView = std::make_unique<TTreeListView>();
    FView->SetTreeModel(FModel.get());
    FView->resize(600, 400);
    FView->show();
}

void TestTreeModel::cleanup()
{
    FView.reset();
    FTester.reset();
    FModel.reset();
    FTree.reset();
    FGlobals.reset();
}

void TestTreeModel::modelOverBuiltTree()
{
    AddBook("Книга", "Автор", true, bsRead);
    AddBook("Другая", "Автор", false);
    dmBooks->BuildTree(nullptr);
    QCOMPARE(FModel->rowCount(), 4); // Избранные, Читаемые, Авторы, Жанры
    QCOMPARE(FModel->columnCount(), 6);
    const QModelIndex authors = FModel->index(2, 0);
    QCOMPARE(authors.data().toString(), QString("Авторы"));
    QCOMPARE(FModel->index(2, 1).data().toString(), QString("1 (2)"));
    const QModelIndex author = FModel->index(0, 0, authors);
    const QModelIndex book = FModel->index(0, 0, author); // being read (tag 1) before unread (2)
    QCOMPARE(book.data().toString(), QString("Книга"));
    QCOMPARE(book.siblingAtColumn(2).data().toString(), QString("Автор Long"));
    QCOMPARE(book.siblingAtColumn(3).data().toString(), QString("Научная Фантастика"));
    QCOMPARE(book.siblingAtColumn(2).data(Qt::ToolTipRole).toString(), QString("Автор Long"));
    QCOMPARE(FModel->parent(book), author);
    QCOMPARE(FModel->parent(author), authors);
    QCOMPARE(FModel->RowOf(book)->Data(), dmBooks->Items(0));
    QCOMPARE(FModel->headerData(5, Qt::Horizontal).toString(), QString("Книга №"));

    // A single-book refresh that moves and removes rows keeps the model consistent (the tester
    // checks every signal).
    dmBooks->Items(0)->IsFavorite = false;
    dmBooks->Items(0)->BookState = bsEdit;
    dmBooks->BuildTree(dmBooks->Items(0));
    QCOMPARE(FModel->rowCount(), 3);
    QCOMPARE(FModel->index(0, 0).data().toString(), QString("В работе"));
}

void TestTreeModel::selectedRowDeletedLeavesNoSelection()
{
    TBookItem* book = AddBook("Книга", "Автор", true);
    AddBook("Вторая", "Автор", true);
    dmBooks->BuildTree(nullptr);
    const QModelIndex favorites = FModel->index(0, 0);
    FView->expand(favorites);
    const QModelIndex row = FModel->index(1, 0, favorites);
    QCOMPARE(FModel->RowOf(row)->Data(), book);
    FView->selectionModel()->setCurrentIndex(row,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(FView->SelectedRow(), FModel->RowOf(row));

    QSignalSpy selections(FView->selectionModel(), &QItemSelectionModel::selectionChanged);
    book->IsFavorite = false;
    dmBooks->BuildTree(book);
    QCOMPARE(FView->SelectedRow(), nullptr);
    QVERIFY(!FView->selectionModel()->hasSelection());
    // Nothing new became selected.
    for (const QList<QVariant>& args : selections)
        QVERIFY(args.at(0).value<QItemSelection>().isEmpty());
    QVERIFY(FView->isExpanded(FModel->index(0, 0)));
    QCOMPARE(FModel->rowCount(FModel->index(0, 0)), 1);

    // A selected row that stays keeps its selection, also when its level is sorted again.
    const QModelIndex other = FModel->index(0, 0, FModel->index(0, 0));
    FView->selectionModel()->setCurrentIndex(other,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    TTreeRow* selected = FModel->RowOf(other);
    book->IsFavorite = true;
    dmBooks->BuildTree(book);
    QCOMPARE(FView->SelectedRow(), selected);
    QCOMPARE(FView->selectionModel()->currentIndex(), FModel->IndexOf(selected));
    QCOMPARE(selected->Index(), 0);
}

void TestTreeModel::expandedRowsStayExpanded()
{
    TBookItem* book = AddBook("Книга", "Бета", false);
    AddBook("Другая", "Гамма", false);
    dmBooks->BuildTree(nullptr);
    const QModelIndex authors = FModel->index(0, 0);
    FView->expand(authors);
    FView->expand(FModel->index(1, 0, authors));
    TTreeRow* gamma = FModel->RowOf(FModel->index(1, 0, authors));
    QVERIFY(gamma->Expanded());

    // A new author before both and a new top-level group before "Авторы" move the expanded rows.
    book->AuthorShort.push_back("Альфа");
    book->IsFavorite = true;
    dmBooks->BuildTree(book);
    const QModelIndex movedAuthors = FModel->index(1, 0);
    QCOMPARE(movedAuthors.data().toString(), QString("Авторы"));
    QVERIFY(FView->isExpanded(movedAuthors));
    QCOMPARE(FModel->IndexOf(gamma).row(), 2);
    QVERIFY(FView->isExpanded(FModel->IndexOf(gamma)));
    QVERIFY(!FView->isExpanded(FModel->index(0, 0, movedAuthors)));
    QVERIFY(!FView->isExpanded(FModel->index(0, 0)));

    // The view's own collapsing is kept in the rows; the list's collapsing reaches the view.
    FView->collapse(FModel->IndexOf(gamma));
    QVERIFY(!gamma->Expanded());
    FTree->Expand(gamma);
    QVERIFY(FView->isExpanded(FModel->IndexOf(gamma)));
}

void TestTreeModel::largeUpdateIsOneLayoutChange()
{
    TBookItem* book = AddBook("Книга", "Автор", true);
    AddBook("Вторая", "Автор", true);
    dmBooks->BuildTree(nullptr);
    const QModelIndex favorites = FModel->index(0, 0);
    FView->expand(favorites);
    FView->expand(FModel->index(1, 0));
    TTreeRow* selected = FModel->RowOf(FModel->index(1, 0, favorites));
    QCOMPARE(selected->Data(), book);
    FView->selectionModel()->setCurrentIndex(FModel->IndexOf(selected),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    QSignalSpy layouts(FModel.get(), &QAbstractItemModel::layoutChanged);
    QSignalSpy inserts(FModel.get(), &QAbstractItemModel::rowsInserted);
    {
        TTreeList::TUpdate update(*FTree);
        TTreeRow* authors = FTree->Root()->Child(1);
        for (int i = 0; i < 200; ++i)
            FTree->AppendRow(authors, "Автор " + std::to_string(199 - i));
        FTree->DeleteRow(selected->Parent(), selected->Index());
    }
    QCOMPARE(layouts.count(), 1);
    QVERIFY(inserts.count() < 200);
    QVERIFY(!FView->selectionModel()->hasSelection());
    QVERIFY(FView->isExpanded(FModel->index(0, 0)));
    QVERIFY(FView->isExpanded(FModel->index(1, 0)));
    QCOMPARE(FModel->rowCount(FModel->index(1, 0)), 201);
    QCOMPARE(FModel->index(0, 0, FModel->index(1, 0)).data().toString(), QString("Автор"));
    QCOMPARE(FModel->index(2, 0, FModel->index(1, 0)).data().toString(), QString("Автор 1"));
}

void TestTreeModel::columnWidthsSurviveTheFirstBuild()
{
    constexpr int widths[] = {234, 51, 120, 110, 90, 61};
    for (int i = 0; i < 6; ++i)
        FView->header()->resizeSection(i, widths[i]);
    AddBook("Книга", "Автор", true);
    dmBooks->BuildTree(nullptr);
    QTest::qWait(10);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(FView->header()->sectionSize(i), widths[i]);
}

void TestTreeModel::accessibleTexts()
{
    AddBook("Книга", "Автор", false);
    dmBooks->BuildTree(nullptr);
    // The view offers the cells' texts and the header captions to accessibility tools.
    QCOMPARE(FModel->index(0, 0).data(Qt::DisplayRole).toString(), QString("Авторы"));
    QCOMPARE(FModel->headerData(0, Qt::Horizontal).toString(), QString("Наименование"));
    QCOMPARE(FModel->headerData(1, Qt::Horizontal).toString(), QString("Кол-во"));
}

QTEST_MAIN(TestTreeModel)
#include "test_tree_model.moc"
