#include "books/lirvel_tree_list.h"

#include "books/lirvel_book_item.h"
#include "books/lirvel_display_texts.h"
#include "util/lirvel_text.h"

#include <algorithm>

// Per parent: the last child for every lowered caption and for every book path, with the number
// of children sharing the key. Built on the first lookup and then kept in step with the children,
// so that a lookup gives what a walk over the children from the last to the first would give.
struct TTreeRow::TChildIndex
{
    struct TEntry
    {
        TTreeRow* Last;
        int Count;
    };
    std::unique_ptr<std::unordered_map<std::string, TEntry>> ByCaption;
    std::unique_ptr<std::unordered_map<std::string_view, TEntry>> ByPath;
    // Keys held by more than one child: only then does a new order change which child is last.
    int CaptionShared = 0;
    int PathShared = 0;
};

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

template <class Map, class Key> void AddKey(Map& map, int& shared, Key key, TTreeRow* row)
{
    const auto [it, inserted] = map.try_emplace(std::move(key), typename Map::mapped_type{row, 1});
    if (inserted)
        return;
    if (++it->second.Count == 2)
        ++shared;
    if (it->second.Last->Index() < row->Index())
        it->second.Last = row;
}

// Takes the row out of its key; when it was the last one holding it, the one before it takes its
// place (matches is told whether a sibling holds the key).
template <class Map, class Key, class Matches>
void RemoveKey(Map& map, int& shared, const Key& key, TTreeRow* row, Matches matches)
{
    const auto it = map.find(key);
    if (it == map.end())
        return;
    if (--it->second.Count == 0) {
        map.erase(it);
        return;
    }
    if (it->second.Count == 1)
        --shared;
    if (it->second.Last != row)
        return;
    const TTreeRow* parent = row->Parent();
    for (int i = row->Index() - 1; i >= 0; --i) {
        if (matches(parent->Child(i))) {
            it->second.Last = parent->Child(i);
            return;
        }
    }
}

} // namespace

// ---- TTreeRow ----

TTreeRow::TTreeRow(TTreeList* list, TTreeRow* parent, int row) : FList(list), FParent(parent), FRow(row) {}

TTreeRow::~TTreeRow()
{
    for (TTreeRow* child : FChildren)
        delete child;
}

std::string TTreeRow::Text(int column) const
{
    if (FTextsOf) {
        switch (column) {
        case 0:
            return FTextsOf->BookName;
        case 2:
            return AuthorsText(*FTextsOf);
        case 3:
            return GenresText(*FTextsOf);
        case 4:
            return FTextsOf->SerieName;
        case 5:
            return FTextsOf->SerieBook;
        default:
            break;
        }
    }
    if (column >= 0 && static_cast<std::size_t>(column) < FTexts.size())
        return FTexts[static_cast<std::size_t>(column)];
    return {};
}

std::string_view TTreeRow::KeyText(int column) const
{
    if (FTextsOf) {
        switch (column) {
        case 0:
            return FTextsOf->BookName;
        case 4:
            return FTextsOf->SerieName;
        case 5:
            return FTextsOf->SerieBook;
        default:
            break;
        }
    }
    if (static_cast<std::size_t>(column) < FTexts.size())
        return FTexts[static_cast<std::size_t>(column)];
    return {};
}

void TTreeRow::SetText(int column, std::string text)
{
    if (column < 0)
        return;
    const auto index = static_cast<std::size_t>(column);
    if (FTextsOf && column != 1) {
        if (Text(column) == text)
            return;
    } else if (index < FTexts.size() ? FTexts[index] == text : text.empty()) {
        return;
    }
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    if (column == 0)
        FList->IndexRemoveCaption(this);
    if (FTextsOf && column != 1) {
        // From now on the row keeps its own texts.
        std::string kept = Text(1);
        FTexts.assign(TreeColumnCount, std::string());
        for (int c = 0; c < TreeColumnCount; ++c)
            FTexts[static_cast<std::size_t>(c)] = c == 1 ? std::move(kept) : Text(c);
        FTextsOf = nullptr;
    }
    if (FTexts.size() <= index)
        FTexts.resize(index + 1);
    FTexts[index] = std::move(text);
    if (column == 0)
        FList->IndexAddCaption(this);
    if (column == 0 || column == 4 || column == 5)
        FList->MarkDirty(this);
}

void TTreeRow::SetBookTexts(const TBookItem* book)
{
    if (FTextsOf == book)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    const bool keysChanged = !book || KeyText(0) != book->BookName || KeyText(4) != book->SerieName ||
                             KeyText(5) != book->SerieBook;
    FList->IndexRemoveCaption(this);
    std::string count = FTexts.size() > 1 ? std::move(FTexts[1]) : std::string();
    FTexts.clear();
    if (!count.empty()) {
        FTexts.resize(2);
        FTexts[1] = std::move(count);
    }
    FTexts.shrink_to_fit();
    FTextsOf = book;
    FList->IndexAddCaption(this);
    if (keysChanged)
        FList->MarkDirty(this);
}

void TTreeRow::SetImageIndex(int index)
{
    if (FImageIndex == index)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FImageIndex = static_cast<std::int16_t>(index);
}

void TTreeRow::SetTag(int tag)
{
    if (FTag == tag)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FTag = tag;
    FList->MarkDirty(this);
}

void TTreeRow::SetData(TBookItem* book)
{
    if (FData == book)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FList->IndexRemovePath(this);
    const bool wasPlain = IsPlainBookRow();
    FData = book;
    if (FParent)
        FParent->FPlainBookChildren += static_cast<int>(IsPlainBookRow()) - static_cast<int>(wasPlain);
    FList->IndexAddPath(this);
}

// ---- TTreeList ----

TTreeList::TTreeList() : FRoot(new TTreeRow(this, nullptr, 0)) {}

TTreeList::~TTreeList() = default;

void TTreeList::BeginUpdate()
{
    ++FUpdateLevel;
}

void TTreeList::EndUpdate()
{
    if (FUpdateLevel == 0 || --FUpdateLevel > 0)
        return;
    for (auto& [parent, rows] : FDirty) {
        SortLevel(parent, rows);
        parent->FHasDirtyChildren = false;
    }
    FDirty.clear();
    if (FAnnounced) {
        FAnnounced = false;
        if (FObserver)
            FObserver->TreeChanged();
    }
    const std::vector<TTreeRow*> changes = std::move(FExpansionChanges);
    FExpansionChanges.clear();
    for (TTreeRow* row : changes) {
        row->FExpansionPending = false;
        if (FObserver)
            FObserver->RowExpandedChanged(row);
    }
}

void TTreeList::Touch()
{
    if (FAnnounced)
        return;
    FAnnounced = true;
    if (FObserver)
        FObserver->TreeChanging();
}

void TTreeList::MarkDirty(TTreeRow* row)
{
    if (row->FKeyDirty || !row->FParent)
        return;
    row->FKeyDirty = true;
    row->FParent->FHasDirtyChildren = true;
    FDirty[row->FParent].push_back(row);
}

int TTreeList::CompareRows(const TTreeRow* a, const TTreeRow* b)
{
    // string_view compares like memcmp: bytes as unsigned values, a prefix before the longer text.
    if (const int c = a->KeyText(4).compare(b->KeyText(4)))
        return Sign(c);
    if (a->FTag != b->FTag)
        return a->FTag < b->FTag ? -1 : 1;
    if (const int c = a->KeyText(5).compare(b->KeyText(5)))
        return Sign(c);
    return Sign(a->KeyText(0).compare(b->KeyText(0)));
}

void TTreeList::SortLevel(TTreeRow* parent, std::vector<TTreeRow*>& dirty)
{
    for (TTreeRow* row : dirty)
        row->FKeyDirty = false;
    std::vector<TTreeRow*>& rows = parent->FChildren;
    const std::size_t n = rows.size();
    if (dirty.empty() || n < 2)
        return;

    // The rows that did not change were in order, also where deleted rows left them neighbours;
    // when every changed row is in order with its neighbours, the whole level is.
    bool inOrder = true;
    for (const TTreeRow* row : dirty) {
        const auto i = static_cast<std::size_t>(row->FRow);
        if ((i > 0 && CompareRows(rows[i - 1], row) > 0) ||
            (i + 1 < n && CompareRows(row, rows[i + 1]) > 0)) {
            inOrder = false;
            break;
        }
    }
    if (inOrder)
        return;

    // Equal rows keep their order: the position decides between them, which makes the result
    // that of a stable sort of the whole level.
    const auto less = [](const TTreeRow* a, const TTreeRow* b) {
        const int c = CompareRows(a, b);
        return c < 0 || (c == 0 && a->FRow < b->FRow);
    };
    std::vector<TTreeRow*> old = rows;
    if (dirty.size() * 4 >= n) {
        std::sort(rows.begin(), rows.end(), less);
    } else {
        // Few changed rows: the others are still in order, so each changed row is merged in at the
        // place a binary search finds, without touching the rows in between.
        std::vector<std::size_t> positions;
        positions.reserve(dirty.size());
        for (const TTreeRow* row : dirty)
            positions.push_back(static_cast<std::size_t>(row->FRow));
        std::sort(positions.begin(), positions.end());
        std::vector<TTreeRow*> rest;
        rest.reserve(n - dirty.size());
        std::size_t next = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (next < positions.size() && positions[next] == i)
                ++next;
            else
                rest.push_back(old[i]);
        }
        std::sort(dirty.begin(), dirty.end(), less);
        rows.clear();
        auto from = rest.begin();
        for (TTreeRow* row : dirty) {
            const auto at = std::lower_bound(from, rest.end(), row, less);
            rows.insert(rows.end(), from, at);
            rows.push_back(row);
            from = at;
        }
        rows.insert(rows.end(), from, rest.end());
    }
    for (std::size_t i = 0; i < n; ++i)
        if (rows[i] != old[i])
            rows[i]->FRow = static_cast<int>(i);
    if (parent->FIndex && (parent->FIndex->CaptionShared > 0 || parent->FIndex->PathShared > 0))
        RebuildIndex(parent);
}

TTreeRow* TTreeList::AppendRow(TTreeRow* parent, std::string caption)
{
    if (!parent)
        parent = FRoot.get();
    TUpdate update(*this);
    Touch();
    auto row = std::unique_ptr<TTreeRow>(new TTreeRow(this, parent, parent->ChildCount()));
    if (!caption.empty())
        row->FTexts.push_back(std::move(caption));
    const bool parentWasPlain = parent->IsPlainBookRow();
    parent->FChildren.push_back(row.get());
    if (parentWasPlain && parent->FParent)
        --parent->FParent->FPlainBookChildren;
    TTreeRow* added = row.release();
    ++FRowCount;
    IndexAddCaption(added);
    MarkDirty(added);
    return added;
}

void TTreeList::ForgetSubtree(TTreeRow* row)
{
    --FRowCount;
    if (row->FHasDirtyChildren)
        FDirty.erase(row);
    if (row->FExpansionPending)
        std::erase(FExpansionChanges, row);
    for (TTreeRow* child : row->FChildren)
        ForgetSubtree(child);
}

void TTreeList::DeleteRow(TTreeRow* parent, int index)
{
    if (!parent)
        parent = FRoot.get();
    TUpdate update(*this);
    Touch();
    TTreeRow* row = parent->Child(index);
    if (FObserver)
        FObserver->RowRemoving(row);
    IndexRemoveCaption(row);
    IndexRemovePath(row);
    if (row->IsPlainBookRow())
        --parent->FPlainBookChildren;
    if (row->FKeyDirty) {
        const auto dirty = FDirty.find(parent);
        if (dirty != FDirty.end())
            std::erase(dirty->second, row);
    }
    ForgetSubtree(row);
    parent->FChildren.erase(parent->FChildren.begin() + index);
    for (std::size_t i = static_cast<std::size_t>(index); i < parent->FChildren.size(); ++i)
        parent->FChildren[i]->FRow = static_cast<int>(i);
    if (parent->IsPlainBookRow() && parent->FParent)
        ++parent->FParent->FPlainBookChildren;
    delete row;
}

void TTreeList::SetExpanded(TTreeRow* row, bool expanded)
{
    if (row->FExpanded == expanded)
        return;
    row->FExpanded = expanded;
    if (Updating()) {
        if (!row->FExpansionPending) {
            row->FExpansionPending = true;
            FExpansionChanges.push_back(row);
        }
    } else if (FObserver) {
        FObserver->RowExpandedChanged(row);
    }
}

TTreeRow* TTreeList::FindChildByCaptionAscii(TTreeRow* parent, std::string_view caption)
{
    if (!parent)
        parent = FRoot.get();
    if (!parent->FIndex)
        parent->FIndex = std::make_unique<TTreeRow::TChildIndex>();
    if (!parent->FIndex->ByCaption) {
        parent->FIndex->ByCaption =
            std::make_unique<std::unordered_map<std::string, TTreeRow::TChildIndex::TEntry>>();
        for (TTreeRow* child : parent->FChildren)
            IndexAddCaption(child);
    }
    const auto& map = *parent->FIndex->ByCaption;
    const auto found = map.find(AsciiLower(caption));
    return found == map.end() ? nullptr : found->second.Last;
}

TTreeRow* TTreeList::FindChildByBookPath(TTreeRow* parent, std::string_view path)
{
    if (!parent)
        parent = FRoot.get();
    if (!parent->FIndex)
        parent->FIndex = std::make_unique<TTreeRow::TChildIndex>();
    if (!parent->FIndex->ByPath) {
        parent->FIndex->ByPath =
            std::make_unique<std::unordered_map<std::string_view, TTreeRow::TChildIndex::TEntry>>();
        for (TTreeRow* child : parent->FChildren)
            IndexAddPath(child);
    }
    const auto& map = *parent->FIndex->ByPath;
    const auto found = map.find(path);
    return found == map.end() ? nullptr : found->second.Last;
}

void TTreeList::IndexAddCaption(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!parent || !parent->FIndex || !parent->FIndex->ByCaption)
        return;
    AddKey(*parent->FIndex->ByCaption, parent->FIndex->CaptionShared, AsciiLower(row->KeyText(0)), row);
}

void TTreeList::IndexRemoveCaption(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!parent || !parent->FIndex || !parent->FIndex->ByCaption)
        return;
    const std::string key = AsciiLower(row->KeyText(0));
    RemoveKey(*parent->FIndex->ByCaption, parent->FIndex->CaptionShared, key, row,
              [&key](const TTreeRow* sibling) { return SameTextAscii(sibling->KeyText(0), key); });
}

void TTreeList::IndexAddPath(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!row->FData || !parent || !parent->FIndex || !parent->FIndex->ByPath)
        return;
    AddKey(*parent->FIndex->ByPath, parent->FIndex->PathShared, std::string_view(row->FData->File.FileName),
           row);
}

void TTreeList::IndexRemovePath(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!row->FData || !parent || !parent->FIndex || !parent->FIndex->ByPath)
        return;
    const std::string_view key = row->FData->File.FileName;
    RemoveKey(*parent->FIndex->ByPath, parent->FIndex->PathShared, key, row, [key](const TTreeRow* sibling) {
        return sibling->FData && sibling->FData->File.FileName == key;
    });
}

void TTreeList::RebuildIndex(TTreeRow* parent)
{
    TTreeRow::TChildIndex& index = *parent->FIndex;
    if (index.ByCaption) {
        index.ByCaption->clear();
        index.CaptionShared = 0;
        for (TTreeRow* child : parent->FChildren)
            IndexAddCaption(child);
    }
    if (index.ByPath) {
        index.ByPath->clear();
        index.PathShared = 0;
        for (TTreeRow* child : parent->FChildren)
            IndexAddPath(child);
    }
}
