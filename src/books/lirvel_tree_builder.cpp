#include "books/lirvel_dm_books.h"

#include "books/lirvel_display_texts.h"
#include "books/lirvel_genres.h"
#include "books/lirvel_tree_list.h"
#include "util/lirvel_host.h"

#include <QDate>

namespace {

struct TGroupKind
{
    const char* Caption;
    int Image;
    int Tag;
};

// The top-level groups in the order of their Tag.
enum TTopGroup
{
    tgFavorite,
    tgNew,
    tgReading,
    tgEditing,
    tgAuthors,
    tgGenres,
    tgSeries,
    TopGroupCount
};
constexpr TGroupKind TopGroups[TopGroupCount] = {
    {"Избранные", 13, 1}, {"Новые", 16, 2}, {"Читаемые", 17, 3}, {"В работе", 12, 4},
    {"Авторы", 14, 5},    {"Жанры", 19, 6}, {"Серии", 18, 7},
};

// The bands of "Новые", in the order in which they are tried.
constexpr TGroupKind DateBands[] = {
    {"Сегодня", 20, 1},          {"Вчера", 20, 2},        {"На этой неделе", 9, 3},
    {"На прошлой неделе", 9, 4}, {"В этом месяце", 8, 5},
};
constexpr int AuthorImage = 15;
constexpr int FolderImage = 11;

// The top-level row with exactly this caption, the last of several; created collapsed.
TTreeRow* FindOrAddTopGroup(TTreeList& tree, const TGroupKind& kind)
{
    TTreeRow* root = tree.Root();
    TTreeRow* group = nullptr;
    for (int i = root->ChildCount() - 1; i >= 0 && !group; --i)
        if (root->Child(i)->Caption() == kind.Caption)
            group = root->Child(i);
    if (!group) {
        group = tree.AppendRow(root, kind.Caption);
        tree.Collapse(group);
    }
    group->SetImageIndex(kind.Image);
    group->SetTag(kind.Tag);
    return group;
}

// The child whose caption matches with ASCII letters lowered, the last of several; created
// collapsed with the wanted caption. A found row keeps its caption.
TTreeRow* FindOrAddSubGroup(TTreeList& tree, TTreeRow* parent, const std::string& caption, int image, int tag)
{
    TTreeRow* group = tree.FindChildByCaptionAscii(parent, caption);
    if (!group) {
        group = tree.AppendRow(parent, caption);
        tree.Collapse(group);
    }
    group->SetImageIndex(image);
    group->SetTag(tag);
    return group;
}

// One row per book file under a group: the last row showing a book of that path is filled again.
void AddBookRow(TTreeList& tree, TBookItem* book, TTreeRow* group)
{
    TTreeRow* row = tree.FindChildByBookPath(group, book->File.FileName);
    if (!row)
        row = tree.AppendRow(group, std::string());
    FillBookRow(book, row);
}

// The band of "Новые" for a file date, or none outside the current month. Weeks run from Monday
// to Sunday (ISO 8601).
const TGroupKind* DateBand(const QDate& date, const QDate& today)
{
    if (!date.isValid() || date.year() != today.year() || date.month() != today.month())
        return nullptr;
    if (date == today)
        return &DateBands[0];
    if (date == today.addDays(-1))
        return &DateBands[1];
    int year = 0;
    int todayYear = 0;
    const int week = date.weekNumber(&year);
    if (week == today.weekNumber(&todayYear) && year == todayYear)
        return &DateBands[2];
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    if (date >= monday.addDays(-7) && date < monday)
        return &DateBands[3];
    return &DateBands[4];
}

void PlaceBook(TTreeList& tree, TTreeRow* const (&groups)[TopGroupCount], TBookItem* book, const QDate& today)
{
    for (const std::string& author : book->AuthorShort)
        AddBookRow(tree, book, FindOrAddSubGroup(tree, groups[tgAuthors], author, AuthorImage, 0));
    for (const std::string& code : book->Genres)
        AddBookRow(tree, book, FindOrAddSubGroup(tree, groups[tgGenres], GenreName(code), FolderImage, 0));
    if (const TGroupKind* band = DateBand(DateOf(book->File.Changed), today))
        AddBookRow(tree, book, FindOrAddSubGroup(tree, groups[tgNew], band->Caption, band->Image, band->Tag));
    if (!book->SerieName.empty())
        AddBookRow(tree, book, FindOrAddSubGroup(tree, groups[tgSeries], book->SerieName, FolderImage, 0));
    if (book->IsFavorite)
        AddBookRow(tree, book, groups[tgFavorite]);
    if (book->BookState == bsRead)
        AddBookRow(tree, book, groups[tgReading]);
    if (book->BookState == bsEdit)
        AddBookRow(tree, book, groups[tgEditing]);
}

// Takes out of a state group every book row whose book no longer belongs there.
template <class Belongs> void PruneGroup(TTreeList& tree, TTreeRow* group, Belongs belongs)
{
    for (int i = group->ChildCount() - 1; i >= 0; --i) {
        const TBookItem* book = group->Child(i)->Data();
        if (book && !belongs(*book))
            tree.DeleteRow(group, i);
    }
}

// "Кол-во" of a row without a book: the number of its children, followed by the number of book
// rows anywhere below it in brackets when the two differ.
void SetCountText(TTreeRow* row)
{
    const int children = row->ChildCount();
    const int books = row->BookRowsBelow();
    std::string text = std::to_string(children);
    if (books != children)
        text += " (" + std::to_string(books) + ")";
    row->SetText(1, std::move(text));
}

} // namespace

void TdmBooks::BuildTree(TBookItem* OnlyBook)
{
    TTreeList* tree = AppHost().TreeList();
    if (!tree)
        return;
    const QDate today = AppHost().Today();
    // The updates resume on every way out, a failure included.
    TTreeList::TUpdate update(*tree);

    TTreeRow* groups[TopGroupCount];
    for (int i = 0; i < TopGroupCount; ++i)
        groups[i] = FindOrAddTopGroup(*tree, TopGroups[i]);

    PruneGroup(*tree, groups[tgFavorite], [](const TBookItem& book) { return book.IsFavorite; });
    PruneGroup(*tree, groups[tgReading], [](const TBookItem& book) { return book.BookState == bsRead; });
    PruneGroup(*tree, groups[tgEditing], [](const TBookItem& book) { return book.BookState == bsEdit; });

    if (OnlyBook) {
        PlaceBook(*tree, groups, OnlyBook, today);
    } else {
        for (int i = 0; i < Count(); ++i)
            PlaceBook(*tree, groups, Items(i), today);
    }

    TTreeRow* root = tree->Root();
    for (int i = root->ChildCount() - 1; i >= 0; --i)
        if (root->Child(i)->ChildCount() == 0)
            tree->DeleteRow(root, i);

    // The count texts of the whole tree: every row whose counts changed since the texts were last
    // set gets its text again; the others still show their counts.
    for (TTreeRow* row : tree->TakeCountChanges())
        if (!row->Data())
            SetCountText(row);
}
