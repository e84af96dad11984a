#include "books/lirvel_tree_list.h"

#include "books/lirvel_book_item.h"
#include "books/lirvel_display_texts.h"
#include "util/lirvel_text.h"

#include <algorithm>
#include <cstring>

// Per parent: the last child for every lowered caption, with the number of children sharing the
// key. Built on the first lookup and then kept in step with the children, so that a lookup gives
// what a walk over the children from the last to the first would give.
namespace {

// Hashing and comparing with ASCII letters lowered, so that a caption is looked up as it is
// written, without a lowered copy.
struct TAsciiCaseHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const
    {
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : text) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return static_cast<std::size_t>(hash);
    }
};

struct TAsciiCaseEqual
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return SameTextAscii(a, b); }
};

} // namespace

struct TCaptionIndex
{
    struct TEntry
    {
        TTreeRow* Last;
        int Count;
    };
    std::unordered_map<std::string, TEntry, TAsciiCaseHash, TAsciiCaseEqual> Map;
    // Keys held by more than one child: only then does a new order change which child is last.
    int Shared = 0;
};

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

template <class T> void EraseValue(std::vector<T>& list, const T& value)
{
    const auto found = std::find(list.begin(), list.end(), value);
    if (found != list.end())
        list.erase(found);
}

// The first eight bytes of a text as a number whose order is the byte order of the texts, as far
// as it goes: a text shorter than eight bytes is filled with zero bytes, which sort first.
std::uint64_t Prefix(std::string_view text)
{
    unsigned char bytes[8] = {};
    std::memcpy(bytes, text.data(), std::min<std::size_t>(8, text.size()));
    std::uint64_t value = 0;
    for (const unsigned char byte : bytes)
        value = value << 8 | byte;
    return value;
}

// The sort keys of one row, taken out once so that sorting a large level compares them without
// following the rows and their books again and again.
struct TSortKey
{
    std::uint64_t Serie;
    std::uint64_t Caption;
    std::string_view SerieText;
    std::string_view NumberText;
    std::string_view CaptionText;
    int Tag;
    int Position;
    TTreeRow* Row;
};

int CompareText(std::uint64_t prefixA, std::string_view a, std::uint64_t prefixB, std::string_view b)
{
    if (prefixA != prefixB)
        return prefixA < prefixB ? -1 : 1;
    return Sign(a.compare(b));
}

// The order of CompareRows, then the position: that of a stable sort.
bool KeyLess(const TSortKey& a, const TSortKey& b)
{
    if (const int c = CompareText(a.Serie, a.SerieText, b.Serie, b.SerieText))
        return c < 0;
    if (a.Tag != b.Tag)
        return a.Tag < b.Tag;
    if (const int c = a.NumberText.compare(b.NumberText))
        return c < 0;
    if (const int c = CompareText(a.Caption, a.CaptionText, b.Caption, b.CaptionText))
        return c < 0;
    return a.Position < b.Position;
}

template <class Matches> TTreeRow* LastBefore(const TTreeRow* parent, int index, Matches matches)
{
    for (int i = index - 1; i >= 0; --i)
        if (matches(parent->Child(i)))
            return parent->Child(i);
    return nullptr;
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
        std::vector<std::string> texts(TreeColumnCount);
        for (int c = 0; c < TreeColumnCount; ++c)
            texts[static_cast<std::size_t>(c)] = c == 1 ? std::move(kept) : Text(c);
        FTexts = std::move(texts);
        FTextsOf = nullptr;
    }
    if (FTexts.size() <= index)
        FTexts.resize(index + 1);
    FTexts[index] = std::move(text);
    if (column == 0)
        FList->IndexAddCaption(this);
    if (column == 0 || column == 4 || column == 5)
        FList->MarkKeyChanged(this);
    FList->MarkDataChanged(this);
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
        FList->MarkKeyChanged(this);
    FList->MarkDataChanged(this);
}

void TTreeRow::SetImageIndex(int index)
{
    if (FImageIndex == index)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FImageIndex = static_cast<std::int16_t>(index);
    FList->MarkDataChanged(this);
}

void TTreeRow::SetTag(int tag)
{
    if (FTag == tag)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FTag = tag;
    FList->MarkKeyChanged(this);
    FList->MarkDataChanged(this);
}

void TTreeRow::SetData(TBookItem* book)
{
    if (FData == book)
        return;
    TTreeList::TUpdate update(*FList);
    FList->Touch();
    FList->IndexRemovePath(this);
    const int delta = static_cast<int>(book != nullptr) - static_cast<int>(FData != nullptr);
    FData = book;
    FList->IndexAddPath(this);
    FList->AddBookRowsAbove(this, delta);
    // A row without a book has a count text of its own.
    if (!book)
        FList->MarkCountChanged(this);
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
    const std::vector<TTreeRow*> levels = std::move(FDirtyLevels);
    FDirtyLevels.clear();
    for (TTreeRow* parent : levels)
        SortLevel(parent);
    FKeyChanges.clear();

    const std::vector<TTreeRow*> changed = std::move(FDataChanges);
    FDataChanges.clear();
    for (TTreeRow* row : changed)
        row->FDataChanged = false;
    if (FAnnounced) {
        FAnnounced = false;
        if (FObserver) {
            if (!changed.empty())
                FObserver->RowsChanged(changed);
            FObserver->TreeChanged();
        }
    }
    const std::vector<TTreeRow*> expansions = std::move(FExpansionChanges);
    FExpansionChanges.clear();
    for (TTreeRow* row : expansions) {
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

void TTreeList::MarkLevel(TTreeRow* parent)
{
    if (parent->FLevelDirty)
        return;
    parent->FLevelDirty = true;
    FDirtyLevels.push_back(parent);
}

void TTreeList::MarkKeyChanged(TTreeRow* row)
{
    // Rows appended in this update are sorted in as they are.
    if (row->FKeyDirty || !row->FParent || row->IsNew())
        return;
    row->FKeyDirty = true;
    FKeyChanges[row->FParent].push_back(row);
    MarkLevel(row->FParent);
}

void TTreeList::MarkDataChanged(TTreeRow* row)
{
    if (row->FDataChanged || !row->FParent || row->IsNew())
        return;
    row->FDataChanged = true;
    FDataChanges.push_back(row);
}

void TTreeList::MarkCountChanged(TTreeRow* row)
{
    if (row->FCountChanged || !row->FParent)
        return;
    row->FCountChanged = true;
    FCountChanges.push_back(row);
}

void TTreeList::AddBookRowsAbove(TTreeRow* row, int delta)
{
    if (delta == 0)
        return;
    for (TTreeRow* above = row->FParent; above; above = above->FParent) {
        above->FBookRowsBelow += delta;
        MarkCountChanged(above);
    }
}

std::vector<TTreeRow*> TTreeList::TakeCountChanges()
{
    std::vector<TTreeRow*> rows = std::move(FCountChanges);
    FCountChanges.clear();
    for (TTreeRow* row : rows)
        row->FCountChanged = false;
    return rows;
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

void TTreeList::SortLevel(TTreeRow* parent)
{
    parent->FLevelDirty = false;
    std::vector<TTreeRow*> changed;
    if (const auto found = FKeyChanges.find(parent); found != FKeyChanges.end())
        changed = std::move(found->second);
    for (TTreeRow* row : changed)
        row->FKeyDirty = false;
    std::vector<TTreeRow*>& rows = parent->FChildren;
    const std::size_t n = rows.size();
    const std::size_t firstNew = parent->FFirstNew < 0 ? n : static_cast<std::size_t>(parent->FFirstNew);
    parent->FFirstNew = -1;
    if (n < 2 || (changed.empty() && firstNew >= n))
        return;

    // The rows that did not change were in order, also where deleted rows left them neighbours;
    // when every changed or new row is in order with its neighbours, the whole level is.
    const auto inOrderAt = [&rows, n](std::size_t i) {
        return (i == 0 || CompareRows(rows[i - 1], rows[i]) <= 0) &&
               (i + 1 >= n || CompareRows(rows[i], rows[i + 1]) <= 0);
    };
    bool inOrder = true;
    for (const TTreeRow* row : changed)
        inOrder = inOrder && inOrderAt(static_cast<std::size_t>(row->FRow));
    for (std::size_t i = firstNew; i < n && inOrder; ++i)
        inOrder = inOrderAt(i);
    if (inOrder)
        return;

    if (FObserver)
        FObserver->LevelReordering(parent);
    const std::vector<TTreeRow*> old = rows;
    const std::size_t moving = changed.size() + (n - firstNew);
    const auto key = [](TTreeRow* row) {
        const std::string_view serie = row->KeyText(4);
        const std::string_view caption = row->KeyText(0);
        return TSortKey{Prefix(serie), Prefix(caption), serie,     row->KeyText(5),
                        caption,       row->FTag,       row->FRow, row};
    };
    if (moving * 4 >= n) {
        // Equal rows keep their order: the position decides between them, which makes the result
        // that of a stable sort of the whole level.
        std::vector<TSortKey> keys;
        keys.reserve(n);
        for (TTreeRow* row : rows)
            keys.push_back(key(row));
        std::sort(keys.begin(), keys.end(), KeyLess);
        for (std::size_t i = 0; i < n; ++i)
            rows[i] = keys[i].Row;
    } else {
        // Few rows move: the others are still in order, so each moving row is merged in at the
        // place a binary search finds, without touching the rows in between.
        std::vector<std::size_t> positions;
        positions.reserve(changed.size());
        for (const TTreeRow* row : changed)
            positions.push_back(static_cast<std::size_t>(row->FRow));
        std::sort(positions.begin(), positions.end());
        std::vector<TSortKey> movingKeys;
        movingKeys.reserve(moving);
        std::vector<TTreeRow*> rest;
        rest.reserve(n - moving);
        std::size_t next = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (next < positions.size() && positions[next] == i) {
                ++next;
                movingKeys.push_back(key(old[i]));
            } else if (i >= firstNew) {
                movingKeys.push_back(key(old[i]));
            } else {
                rest.push_back(old[i]);
            }
        }
        std::sort(movingKeys.begin(), movingKeys.end(), KeyLess);
        const auto rowLess = [](TTreeRow* a, const TSortKey& b) {
            return KeyLess(TSortKey{Prefix(a->KeyText(4)), Prefix(a->KeyText(0)), a->KeyText(4),
                                    a->KeyText(5), a->KeyText(0), a->FTag, a->FRow, a},
                           b);
        };
        rows.clear();
        auto from = rest.begin();
        for (const TSortKey& moved : movingKeys) {
            // The first of the remaining rows that does not come before the moving one.
            const auto at =
                std::partition_point(from, rest.end(), [&](TTreeRow* r) { return rowLess(r, moved); });
            rows.insert(rows.end(), from, at);
            rows.push_back(moved.Row);
            from = at;
        }
        rows.insert(rows.end(), from, rest.end());
    }
    for (std::size_t i = 0; i < n; ++i)
        if (rows[i] != old[i])
            rows[i]->FRow = static_cast<int>(i);
    if (parent->FCaptions && parent->FCaptions->Shared > 0)
        RebuildCaptionIndex(parent);
    if (FObserver)
        FObserver->LevelReordered(parent);
}

TTreeRow* TTreeList::AppendRow(TTreeRow* parent, std::string caption)
{
    if (!parent)
        parent = FRoot.get();
    TUpdate update(*this);
    Touch();
    const int index = parent->ChildCount();
    auto row = std::unique_ptr<TTreeRow>(new TTreeRow(this, parent, index));
    if (!caption.empty())
        row->FTexts.push_back(std::move(caption));
    // Room first, so that the view is never told of a row that could then not be added.
    if (parent->FChildren.size() == parent->FChildren.capacity())
        parent->FChildren.reserve(std::max<std::size_t>(4, parent->FChildren.capacity() * 2));
    if (FObserver)
        FObserver->RowAppending(parent, index);
    parent->FChildren.push_back(row.get());
    TTreeRow* added = row.release();
    if (parent->FFirstNew < 0)
        parent->FFirstNew = index;
    ++FRowCount;
    IndexAddCaption(added);
    MarkLevel(parent);
    MarkCountChanged(parent);
    MarkCountChanged(added);
    if (FObserver)
        FObserver->RowAppended();
    return added;
}

void TTreeList::ForgetSubtree(TTreeRow* row)
{
    --FRowCount;
    if (row->FLevelDirty) {
        EraseValue(FDirtyLevels, row);
        FKeyChanges.erase(row);
    }
    if (row->FDataChanged)
        EraseValue(FDataChanges, row);
    if (row->FCountChanged)
        EraseValue(FCountChanges, row);
    if (row->FExpansionPending)
        EraseValue(FExpansionChanges, row);
    IndexRemovePath(row);
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
    if (row->FKeyDirty) {
        if (const auto changed = FKeyChanges.find(parent); changed != FKeyChanges.end())
            EraseValue(changed->second, row);
    }
    AddBookRowsAbove(row, -(row->FBookRowsBelow + static_cast<int>(row->FData != nullptr)));
    MarkCountChanged(parent);
    ForgetSubtree(row);
    parent->FChildren.erase(parent->FChildren.begin() + index);
    for (std::size_t i = static_cast<std::size_t>(index); i < parent->FChildren.size(); ++i)
        parent->FChildren[i]->FRow = static_cast<int>(i);
    if (parent->FFirstNew > index)
        --parent->FFirstNew;
    if (FObserver)
        FObserver->RowRemoved();
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
    if (!parent->FCaptions) {
        parent->FCaptions = std::make_unique<TCaptionIndex>();
        for (TTreeRow* child : parent->FChildren)
            IndexAddCaption(child);
    }
    const auto& map = parent->FCaptions->Map;
    const auto found = map.find(caption);
    return found == map.end() ? nullptr : found->second.Last;
}

TTreeRow* TTreeList::FindChildByBookPath(TTreeRow* parent, std::string_view path) const
{
    if (!parent)
        parent = FRoot.get();
    const TRowsByPath::value_type* rows = RowsOfPath(path);
    if (!rows)
        return nullptr;
    TTreeRow* last = nullptr;
    for (TTreeRow* row : rows->second)
        if (row->FParent == parent && (!last || row->FRow > last->FRow))
            last = row;
    return last;
}

void TTreeList::IndexAddCaption(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!parent || !parent->FCaptions)
        return;
    TCaptionIndex& index = *parent->FCaptions;
    const std::string_view caption = row->KeyText(0);
    auto it = index.Map.find(caption);
    const bool inserted = it == index.Map.end();
    if (inserted)
        it = index.Map.emplace(std::string(caption), TCaptionIndex::TEntry{row, 1}).first;
    if (inserted)
        return;
    if (++it->second.Count == 2)
        ++index.Shared;
    if (it->second.Last->FRow < row->FRow)
        it->second.Last = row;
}

// Takes the row out of its key; when it was the last one holding it, the one before it takes its
// place.
void TTreeList::IndexRemoveCaption(TTreeRow* row)
{
    TTreeRow* parent = row->FParent;
    if (!parent || !parent->FCaptions)
        return;
    TCaptionIndex& index = *parent->FCaptions;
    const std::string_view key = row->KeyText(0);
    const auto it = index.Map.find(key);
    if (it == index.Map.end())
        return;
    if (--it->second.Count == 0) {
        index.Map.erase(it);
        return;
    }
    if (it->second.Count == 1)
        --index.Shared;
    if (it->second.Last == row)
        it->second.Last = LastBefore(parent, row->FRow,
                                     [key](const TTreeRow* r) { return SameTextAscii(r->KeyText(0), key); });
}

TTreeList::TRowsByPath::value_type* TTreeList::RowsOfPath(std::string_view path) const
{
    if (FLastPath && FLastPath->first == path)
        return FLastPath;
    const auto found = FRowsByPath.find(path);
    if (found == FRowsByPath.end())
        return nullptr;
    // Entries of an unordered map stay where they are until they are erased.
    FLastPath = const_cast<TRowsByPath::value_type*>(&*found);
    return FLastPath;
}

void TTreeList::IndexAddPath(TTreeRow* row)
{
    if (!row->FData)
        return;
    const std::string_view path = row->FData->File.FileName;
    TRowsByPath::value_type* rows = RowsOfPath(path);
    if (!rows) {
        rows = &*FRowsByPath.try_emplace(path).first;
        FLastPath = rows;
    }
    rows->second.push_back(row);
}

void TTreeList::IndexRemovePath(TTreeRow* row)
{
    if (!row->FData)
        return;
    TRowsByPath::value_type* rows = RowsOfPath(row->FData->File.FileName);
    if (!rows)
        return;
    EraseValue(rows->second, row);
    if (rows->second.empty()) {
        const std::string_view path = rows->first;
        FLastPath = nullptr;
        FRowsByPath.erase(FRowsByPath.find(path));
    }
}

void TTreeList::RebuildCaptionIndex(TTreeRow* parent)
{
    parent->FCaptions->Map.clear();
    parent->FCaptions->Shared = 0;
    for (TTreeRow* child : parent->FChildren)
        IndexAddCaption(child);
}
