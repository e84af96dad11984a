#include "books/lirvel_display_texts.h"

#include "books/lirvel_book_item.h"
#include "books/lirvel_genres.h"
#include "books/lirvel_tree_list.h"

#include <charconv>
#include <cstdint>

namespace {

void AppendJoined(std::string& text, std::string_view element)
{
    if (!text.empty())
        text += ", ";
    text += element;
}

} // namespace

std::string GenresText(const TBookItem& book)
{
    std::string text;
    for (const std::string& code : book.Genres)
        AppendJoined(text, GenreName(code));
    return text;
}

std::string AuthorsText(const TBookItem& book)
{
    std::string text;
    for (const std::string& author : book.AuthorLong)
        AppendJoined(text, author);
    return text;
}

std::string SerieText(const TBookItem& book)
{
    if (book.SerieName.empty())
        return {};
    if (book.SerieBook.empty())
        return book.SerieName;
    return "«" + book.SerieName + "», № " + book.SerieBook;
}

std::optional<int> SerieNumber(std::string_view text)
{
    // from_chars takes a minus sign but no plus sign, and no blanks on either side.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

void FillBookRow(TBookItem* book, TTreeRow* row)
{
    row->SetBookTexts(book);
    int image = 3;
    int tag = 2;
    switch (book->BookState) {
    case bsEdit:
        image = 6;
        tag = 0;
        break;
    case bsDone:
        image = 5;
        tag = 4;
        break;
    case bsRead:
        image = 4;
        tag = 1;
        break;
    default:
        break;
    }
    row->SetImageIndex(image);
    row->SetData(book);
    // A number that is no whole decimal number or does not fit keeps the state's key: the row is
    // still placed, among the books without a number.
    if (!book->SerieBook.empty()) {
        if (const std::optional<int> number = SerieNumber(book->SerieBook))
            tag = *number;
    }
    row->SetTag(tag);
}
