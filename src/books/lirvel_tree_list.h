#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TBookItem;
class TTreeList;

// The columns of the tree-list.
constexpr int TreeColumnCount = 6;

// One row of the tree-list: a caption (column 0), texts of columns 1 to 5, an image index, the
// book it shows (not owned) and an integer sort key, with its child rows. A row belongs to its
// list, which creates and frees it; every change goes through the list, which keeps the rows of
// every level in order.
class TTreeRow
{
  public:
    TTreeRow(const TTreeRow&) = delete;
    TTreeRow& operator=(const TTreeRow&) = delete;
    ~TTreeRow();

    // The text of a column; column 0 is the caption. Columns never set are empty.
    std::string Text(int column) const;
    std::string Caption() const { return Text(0); }
    int ImageIndex() const { return FImageIndex; }
    int Tag() const { return FTag; }
    TBookItem* Data() const { return FData; }
    bool Expanded() const { return FExpanded; }

    void SetText(int column, std::string text);
    void SetCaption(std::string text) { SetText(0, std::move(text)); }
    // Caption and columns 2 to 5 show the book's title, authors, genres, series name and number.
    // They are taken from the book when asked for: those fields of a record do not change once
    // the catalogue is loaded, and a hundred thousand books would otherwise keep every text
    // twice. Column 1 stays as it is.
    void SetBookTexts(const TBookItem* book);
    void SetImageIndex(int index);
    void SetTag(int tag);
    void SetData(TBookItem* book);

    // The parent row; the list's invisible root for a top-level row, none for the root itself.
    TTreeRow* Parent() const { return FParent; }
    int ChildCount() const { return static_cast<int>(FChildren.size()); }
    TTreeRow* Child(int index) const { return FChildren[static_cast<std::size_t>(index)]; }
    // The position among the siblings.
    int Index() const { return FRow; }
    // The children that show a book and have no children of their own.
    int PlainBookChildCount() const { return FPlainBookChildren; }
    TTreeList* List() const { return FList; }

  private:
    friend class TTreeList;
    struct TChildIndex;

    TTreeRow(TTreeList* list, TTreeRow* parent, int row);

    // The sort keys and the lookup keys, without copying.
    std::string_view KeyText(int column) const;
    bool IsPlainBookRow() const { return FData && FChildren.empty(); }

    TTreeList* FList;
    TTreeRow* FParent;
    std::vector<TTreeRow*> FChildren;
    // Stored texts by column; for a row that shows a book's texts only column 1 is kept here.
    std::vector<std::string> FTexts;
    const TBookItem* FTextsOf = nullptr;
    TBookItem* FData = nullptr;
    std::unique_ptr<TChildIndex> FIndex;
    int FTag = 0;
    int FRow;
    // Children that show a book and have no children of their own: the counts need not visit them.
    int FPlainBookChildren = 0;
    std::int16_t FImageIndex = -1;
    bool FExpanded = false;
    // Pending work of the current update.
    bool FKeyDirty = false;
    bool FHasDirtyChildren = false;
    bool FExpansionPending = false;
};

// What a view over the list is told. During an update the list announces the change once, before
// the first row changes, tells of every row before it is freed, and reports the end after every
// level has been sorted again.
class TTreeListObserver
{
  public:
    virtual ~TTreeListObserver() = default;
    virtual void TreeChanging() = 0;
    // Before the row and every row below it are freed.
    virtual void RowRemoving(TTreeRow* row) = 0;
    virtual void TreeChanged() = 0;
    // After the update: a row was expanded or collapsed by the list's user.
    virtual void RowExpandedChanged(TTreeRow* row) = 0;
};

// The tree-list's rows. Updates can be suspended; when the outermost suspension ends, every level
// whose order may have changed is sorted again by CompareRows, so the children of every row are
// always in ascending order outside an update. A change made outside a suspension is its own
// update.
class TTreeList
{
  public:
    TTreeList();
    ~TTreeList();
    TTreeList(const TTreeList&) = delete;
    TTreeList& operator=(const TTreeList&) = delete;

    // The invisible root: its children are the top-level rows.
    TTreeRow* Root() const { return FRoot.get(); }
    // The number of rows, the root not counted.
    int RowCount() const { return FRowCount; }

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateLevel > 0; }

    // Suspends the updates for the lifetime of the object, also when leaving by a failure.
    class TUpdate
    {
      public:
        explicit TUpdate(TTreeList& list) : FList(list) { FList.BeginUpdate(); }
        ~TUpdate() { FList.EndUpdate(); }
        TUpdate(const TUpdate&) = delete;
        TUpdate& operator=(const TUpdate&) = delete;

      private:
        TTreeList& FList;
    };

    // Appends a row with the caption as the last child of the parent (nullptr: the root).
    TTreeRow* AppendRow(TTreeRow* parent, std::string caption);
    // Removes the child at the index and frees it with everything below it.
    void DeleteRow(TTreeRow* parent, int index);
    void Collapse(TTreeRow* row) { SetExpanded(row, false); }
    void Expand(TTreeRow* row) { SetExpanded(row, true); }
    void SetExpanded(TTreeRow* row, bool expanded);
    // The view expanded or collapsed the row itself: recorded, nobody is told.
    void NoteExpanded(TTreeRow* row, bool expanded) { row->FExpanded = expanded; }

    // The last child of the parent whose caption equals the text with ASCII letters lowered on
    // both sides; none when there is none.
    TTreeRow* FindChildByCaptionAscii(TTreeRow* parent, std::string_view caption);
    // The last child of the parent that shows a book whose file path equals the path exactly.
    TTreeRow* FindChildByBookPath(TTreeRow* parent, std::string_view path);

    // The sort order of sibling rows: column 4 text, then Tag as a signed integer, then column 5
    // text, then the caption; the texts compared byte by byte (UTF-8 byte order). -1, 0 or 1.
    static int CompareRows(const TTreeRow* a, const TTreeRow* b);

    void SetObserver(TTreeListObserver* observer) { FObserver = observer; }

  private:
    friend class TTreeRow;

    // Called before any change: announces the change once per update.
    void Touch();
    void MarkDirty(TTreeRow* row);
    void SortLevel(TTreeRow* parent, std::vector<TTreeRow*>& dirty);
    void ForgetSubtree(TTreeRow* row);

    // The lookup indexes of a parent, kept in step with its children.
    void IndexRemoveCaption(TTreeRow* row);
    void IndexAddCaption(TTreeRow* row);
    void IndexRemovePath(TTreeRow* row);
    void IndexAddPath(TTreeRow* row);
    void RebuildIndex(TTreeRow* parent);

    std::unique_ptr<TTreeRow> FRoot;
    TTreeListObserver* FObserver = nullptr;
    int FUpdateLevel = 0;
    int FRowCount = 0;
    bool FAnnounced = false;
    std::unordered_map<TTreeRow*, std::vector<TTreeRow*>> FDirty;
    std::vector<TTreeRow*> FExpansionChanges;
};
