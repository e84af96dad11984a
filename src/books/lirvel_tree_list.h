#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TBookItem;
class TTreeList;
struct TCaptionIndex;

// The columns of the tree-list.
constexpr int TreeColumnCount = 6;

// One row of the tree-list: a caption (column 0), texts of columns 1 to 5, an image index, the
// book it shows (not owned; it must outlive the row) and an integer sort key, with its child rows.
// A row belongs to its list, which creates and frees it; every change goes through the list, which
// keeps the rows of every level in order.
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
    // The rows that show a book anywhere below this one.
    int BookRowsBelow() const { return FBookRowsBelow; }
    TTreeList* List() const { return FList; }

  private:
    friend class TTreeList;

    TTreeRow(TTreeList* list, TTreeRow* parent, int row);

    // The sort keys and the lookup keys, without copying.
    std::string_view KeyText(int column) const;
    // Appended to its parent in the current update.
    bool IsNew() const { return FParent && FParent->FFirstNew >= 0 && FRow >= FParent->FFirstNew; }

    TTreeList* FList;
    TTreeRow* FParent;
    std::vector<TTreeRow*> FChildren;
    // Stored texts by column; for a row that shows a book's texts only column 1 is kept here.
    std::vector<std::string> FTexts;
    const TBookItem* FTextsOf = nullptr;
    TBookItem* FData = nullptr;
    // The children by lowered caption, built on the first lookup.
    std::unique_ptr<TCaptionIndex> FCaptions;
    int FTag = 0;
    int FRow;
    int FBookRowsBelow = 0;
    // The first child appended in the current update; -1 for none.
    int FFirstNew = -1;
    std::int16_t FImageIndex = -1;
    bool FExpanded = false;
    // Pending work of the current update.
    bool FKeyDirty = false;
    bool FLevelDirty = false;
    bool FDataChanged = false;
    bool FCountChanged = false;
    bool FExpansionPending = false;
};

// What a view over the list is told, in step with the changes: rows appended and removed (the
// removed row is freed after RowRemoved), and when an update ends, the levels put back in order,
// the rows whose texts, image or tag changed (rows appended in the same update are not among
// them), and the end itself. Expansions made by the list's user are told after the end.
class TTreeListObserver
{
  public:
    virtual ~TTreeListObserver() = default;
    // Before the first change of an update.
    virtual void TreeChanging() = 0;
    virtual void RowAppending(TTreeRow* parent, int index) = 0;
    virtual void RowAppended() = 0;
    virtual void RowRemoving(TTreeRow* row) = 0;
    virtual void RowRemoved() = 0;
    virtual void LevelReordering(TTreeRow* parent) = 0;
    virtual void LevelReordered(TTreeRow* parent) = 0;
    virtual void RowsChanged(const std::vector<TTreeRow*>& rows) = 0;
    virtual void TreeChanged() = 0;
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
    TTreeRow* FindChildByBookPath(TTreeRow* parent, std::string_view path) const;

    // The rows whose number of children or of book rows below changed since the last call (rows
    // appended since, and rows that stopped showing a book, included), to bring their count texts
    // up to date; the root is not among them.
    std::vector<TTreeRow*> TakeCountChanges();

    // The sort order of sibling rows: column 4 text, then Tag as a signed integer, then column 5
    // text, then the caption; the texts compared byte by byte (UTF-8 byte order). -1, 0 or 1.
    static int CompareRows(const TTreeRow* a, const TTreeRow* b);

    void SetObserver(TTreeListObserver* observer) { FObserver = observer; }

  private:
    friend class TTreeRow;

    // Called before any change: announces the change once per update.
    void Touch();
    void MarkKeyChanged(TTreeRow* row);
    void MarkLevel(TTreeRow* parent);
    void MarkDataChanged(TTreeRow* row);
    void MarkCountChanged(TTreeRow* row);
    void AddBookRowsAbove(TTreeRow* row, int delta);
    void SortLevel(TTreeRow* parent);
    void ForgetSubtree(TTreeRow* row);

    // The lookup indexes, kept in step with the rows.
    void IndexRemoveCaption(TTreeRow* row);
    void IndexAddCaption(TTreeRow* row);
    void IndexRemovePath(TTreeRow* row);
    void IndexAddPath(TTreeRow* row);
    void RebuildCaptionIndex(TTreeRow* parent);

    std::unique_ptr<TTreeRow> FRoot;
    TTreeListObserver* FObserver = nullptr;
    int FUpdateLevel = 0;
    int FRowCount = 0;
    bool FAnnounced = false;
    // The levels to sort when the update ends, and in them the rows that were there before the
    // update and whose sort keys changed.
    std::vector<TTreeRow*> FDirtyLevels;
    std::unordered_map<TTreeRow*, std::vector<TTreeRow*>> FKeyChanges;
    std::vector<TTreeRow*> FDataChanges;
    std::vector<TTreeRow*> FCountChanges;
    std::vector<TTreeRow*> FExpansionChanges;
    // Every row that shows a book, by the book's file path; the entry last used is kept at hand,
    // as the rows of one book are looked up and added one after the other.
    using TRowsByPath = std::unordered_map<std::string_view, std::vector<TTreeRow*>>;
    TRowsByPath::value_type* RowsOfPath(std::string_view path) const;
    TRowsByPath FRowsByPath;
    mutable TRowsByPath::value_type* FLastPath = nullptr;
};
