#include "books/lirvel_book_item.h"
#include "books/lirvel_tree_list.h"
#include "util/lirvel_text.h"

#include <QTest>
#include <algorithm>
#include <random>

namespace {

QString Name(const TTreeRow* row)
{
    return row->Parent() ? QString::fromStdString(row->Caption()) : QString("root");
}

class TRecordingObserver : public TTreeListObserver
{
  public:
    void TreeChanging() override { Events << "changing"; }
    void RowAppending(TTreeRow* parent, int index) override
    {
        Events << QString("appending %1 %2").arg(Name(parent)).arg(index);
    }
    void RowAppended() override { Events << "appended"; }
    void RowRemoving(TTreeRow* row) override { Events << "removing " + Name(row); }
    void RowRemoved() override { Events << "removed"; }
    void LevelReordering(TTreeRow* parent) override { Events << "reordering " + Name(parent); }
    void LevelReordered(TTreeRow* parent) override { Events << "reordered " + Name(parent); }
    void RowsChanged(const std::vector<TTreeRow*>& rows) override
    {
        QStringList names;
        for (const TTreeRow* row : rows)
            names << Name(row);
        Events << "rows changed " + names.join(",");
    }
    void TreeChanged() override { Events << "changed"; }
    void RowExpandedChanged(TTreeRow* row) override
    {
        Events << QString("expanded %1 %2").arg(Name(row)).arg(row->Expanded());
    }
    QStringList Events;
};

std::vector<TTreeRow*> Children(const TTreeRow* parent)
{
    std::vector<TTreeRow*> rows;
    for (int i = 0; i < parent->ChildCount(); ++i)
        rows.push_back(parent->Child(i));
    return rows;
}

TTreeRow* LinearByCaption(const TTreeRow* parent, const std::string& caption)
{
    for (int i = parent->ChildCount() - 1; i >= 0; --i)
        if (SameTextAscii(parent->Child(i)->Caption(), caption))
            return parent->Child(i);
    return nullptr;
}

TTreeRow* LinearByPath(const TTreeRow* parent, const std::string& path)
{
    for (int i = parent->ChildCount() - 1; i >= 0; --i)
        if (parent->Child(i)->Data() && parent->Child(i)->Data()->File.FileName == path)
            return parent->Child(i);
    return nullptr;
}

} // namespace

class TestTreeList : public QObject
{
    Q_OBJECT
  private slots:
    void incrementalSortEqualsStableSort_data();
    void incrementalSortEqualsStableSort();
    void lookupsEqualLinearWalk();
    void notifications();
    void countChanges();
    void deleteFreesSubtree();
    void ownTextsAfterBookTexts();
};

void TestTreeList::incrementalSortEqualsStableSort_data()
{
    QTest::addColumn<int>("changesPerRound");
    QTest::newRow("one change") << 1;
    QTest::newRow("a few changes") << 3;
    QTest::newRow("many changes") << 40;
}

// Whatever way a level is put back in order, the result is that of a stable sort of the order it
// had before: equal rows never swap places.
void TestTreeList::incrementalSortEqualsStableSort()
{
    QFETCH(int, changesPerRound);
    std::mt19937 random(20231115u + static_cast<unsigned>(changesPerRound));
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const char* const texts[] = {"", "a", "A", "b", "Б", "б"};
    const auto randomize = [&](TTreeRow* row) {
        switch (pick(4)) {
        case 0:
            row->SetTag(pick(3) - 1);
            break;
        case 1:
            row->SetText(4, texts[pick(6)]);
            break;
        case 2:
            row->SetText(5, texts[pick(3)]);
            break;
        default:
            row->SetCaption(texts[pick(6)]);
        }
    };

    TTreeList tree;
    TTreeRow* level = tree.AppendRow(nullptr, "level");
    std::vector<TTreeRow*> expected;
    for (int round = 0; round < 300; ++round) {
        {
            TTreeList::TUpdate update(tree);
            for (int c = 0; c < changesPerRound; ++c) {
                const int what = expected.size() < 20 ? 0 : pick(6);
                if (what == 0) {
                    TTreeRow* row = tree.AppendRow(level, texts[pick(6)]);
                    randomize(row);
                    expected.push_back(row);
                } else if (what == 1) {
                    const int i = pick(level->ChildCount());
                    expected.erase(std::find(expected.begin(), expected.end(), level->Child(i)));
                    tree.DeleteRow(level, i);
                } else {
                    randomize(level->Child(pick(level->ChildCount())));
                }
            }
        }
        std::stable_sort(expected.begin(), expected.end(), [](const TTreeRow* a, const TTreeRow* b) {
            return TTreeList::CompareRows(a, b) < 0;
        });
        QCOMPARE(Children(level), expected);
        for (int i = 0; i < level->ChildCount(); ++i)
            QCOMPARE(level->Child(i)->Index(), i);
    }
}

void TestTreeList::lookupsEqualLinearWalk()
{
    std::mt19937 random(17u);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const std::vector<std::string> captions = {"smith", "Smith", "SMITH", "иванов", "Иванов", "x", ""};
    std::vector<std::unique_ptr<TBookItem>> books;
    for (const char* path : {"/a.fb2", "/b.fb2", "/A.fb2", "/a.fb2", "/c.zip"}) {
        books.push_back(std::make_unique<TBookItem>());
        books.back()->File.FileName = path;
    }
    const std::vector<std::string> paths = {"/a.fb2", "/b.fb2", "/A.fb2", "/c.zip", "/none"};

    TTreeList tree;
    TTreeRow* level = tree.AppendRow(nullptr, "level");
    bool suspended = false;
    for (int step = 0; step < 3000; ++step) {
        switch (pick(8)) {
        case 0:
        case 1:
            tree.AppendRow(level, captions[static_cast<std::size_t>(pick(7))]);
            break;
        case 2:
            if (level->ChildCount() > 0)
                tree.DeleteRow(level, pick(level->ChildCount()));
            break;
        case 3:
            if (level->ChildCount() > 0)
                level->Child(pick(level->ChildCount()))
                    ->SetCaption(captions[static_cast<std::size_t>(pick(7))]);
            break;
        case 4:
            if (level->ChildCount() > 0)
                level->Child(pick(level->ChildCount()))
                    ->SetData(pick(6) == 0 ? nullptr : books[pick(5)].get());
            break;
        case 5:
            if (level->ChildCount() > 0)
                level->Child(pick(level->ChildCount()))->SetTag(pick(3));
            break;
        case 6:
            if (level->ChildCount() > 0)
                level->Child(pick(level->ChildCount()))
                    ->SetBookTexts(pick(2) ? books[pick(5)].get() : nullptr);
            break;
        default:
            if (suspended)
                tree.EndUpdate();
            else
                tree.BeginUpdate();
            suspended = !suspended;
        }
        for (const std::string& caption : captions)
            QCOMPARE(tree.FindChildByCaptionAscii(level, caption), LinearByCaption(level, caption));
        for (const std::string& path : paths)
            QCOMPARE(tree.FindChildByBookPath(level, path), LinearByPath(level, path));
        int bookRows = 0;
        for (int i = 0; i < level->ChildCount(); ++i)
            bookRows += level->Child(i)->Data() != nullptr;
        QCOMPARE(level->BookRowsBelow(), bookRows);
        QCOMPARE(tree.Root()->BookRowsBelow(), bookRows);
    }
    if (suspended)
        tree.EndUpdate();
}

void TestTreeList::notifications()
{
    TTreeList tree;
    TRecordingObserver observer;
    tree.SetObserver(&observer);

    TTreeRow* b = tree.AppendRow(nullptr, "b");
    QCOMPARE(observer.Events, QStringList({"changing", "appending root 0", "appended", "changed"}));

    observer.Events.clear();
    {
        TTreeList::TUpdate update(tree);
        b->SetTag(0); // no change
        tree.Collapse(b);
    }
    QCOMPARE(observer.Events, QStringList());

    observer.Events.clear();
    TTreeRow* a = nullptr;
    {
        TTreeList::TUpdate update(tree);
        a = tree.AppendRow(nullptr, "a");
        a->SetTag(-5); // new in this update: no change of its own to tell
        b->SetText(1, "count");
        tree.AppendRow(b, "child");
        tree.Expand(b);
        TTreeRow* c = tree.AppendRow(nullptr, "c");
        tree.Expand(c);
        tree.DeleteRow(nullptr, c->Index());
        QCOMPARE(observer.Events,
                 QStringList({"changing", "appending root 1", "appended", "appending b 0", "appended",
                              "appending root 2", "appended", "removing c", "removed"}));
    }
    // At the end: the top level in order again, the changed row, the end, then the expansion.
    QCOMPARE(observer.Events,
             QStringList({"changing", "appending root 1", "appended", "appending b 0", "appended",
                          "appending root 2", "appended", "removing c", "removed", "reordering root",
                          "reordered root", "rows changed b", "changed", "expanded b 1"}));
    QCOMPARE(tree.Root()->Child(0), a);
    QCOMPARE(tree.Root()->Child(1), b);

    observer.Events.clear();
    tree.Collapse(b);
    QCOMPARE(observer.Events, QStringList({"expanded b 0"}));
    observer.Events.clear();
    tree.NoteExpanded(b, true);
    QCOMPARE(observer.Events, QStringList());
    QVERIFY(b->Expanded());

    // A row already in its place is not reordered.
    observer.Events.clear();
    tree.AppendRow(nullptr, "z");
    QCOMPARE(observer.Events, QStringList({"changing", "appending root 2", "appended", "changed"}));
    QCOMPARE(tree.Root()->Child(2)->Caption(), std::string("z"));
    tree.SetObserver(nullptr);
}

void TestTreeList::countChanges()
{
    TBookItem book;
    book.File.FileName = "/a.fb2";
    TTreeList tree;
    TTreeRow* top = tree.AppendRow(nullptr, "top");
    TTreeRow* group = tree.AppendRow(top, "group");
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>({top, group}));
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>());

    TTreeRow* row = tree.AppendRow(group, "");
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>({group, row}));
    row->SetData(&book);
    QCOMPARE(group->BookRowsBelow(), 1);
    QCOMPARE(top->BookRowsBelow(), 1);
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>({group, top}));
    row->SetImageIndex(3);
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>());

    // Deleting tells the parent and the rows above whose book count fell; the freed rows are gone.
    tree.AppendRow(group, "other");
    tree.DeleteRow(nullptr, 0);
    QCOMPARE(tree.TakeCountChanges(), std::vector<TTreeRow*>());
    QCOMPARE(tree.Root()->BookRowsBelow(), 0);
}

void TestTreeList::deleteFreesSubtree()
{
    TTreeList tree;
    {
        TTreeList::TUpdate update(tree);
        TTreeRow* top = tree.AppendRow(nullptr, "top");
        TTreeRow* group = tree.AppendRow(top, "group");
        tree.AppendRow(group, "z");
        tree.AppendRow(group, "y");
        tree.AppendRow(nullptr, "other");
        QCOMPARE(tree.RowCount(), 5);
        // Rows changed in this update and then freed with their parent are not sorted any more.
        tree.DeleteRow(nullptr, 0);
    }
    QCOMPARE(tree.RowCount(), 1);
    QCOMPARE(tree.Root()->Child(0)->Caption(), std::string("other"));
    QCOMPARE(tree.Root()->Child(0)->Index(), 0);
}

void TestTreeList::ownTextsAfterBookTexts()
{
    TBookItem book;
    book.BookName = "Title";
    book.SerieName = "S";
    book.SerieBook = "2";
    book.AuthorLong = {"A B"};
    TTreeList tree;
    TTreeRow* row = tree.AppendRow(nullptr, "");
    row->SetBookTexts(&book);
    row->SetText(3, "own genre");
    QCOMPARE(row->Caption(), std::string("Title"));
    QCOMPARE(row->Text(2), std::string("A B"));
    QCOMPARE(row->Text(3), std::string("own genre"));
    QCOMPARE(row->Text(4), std::string("S"));
    QCOMPARE(row->Text(5), std::string("2"));
    // The row no longer follows the book.
    book.BookName = "Changed";
    QCOMPARE(row->Caption(), std::string("Title"));
}

QTEST_APPLESS_MAIN(TestTreeList)
#include "test_tree_list.moc"
