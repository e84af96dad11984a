#pragma once

#include <optional>
#include <string>
#include <string_view>

class TBookItem;
class TTreeRow;

// The one-line texts of a book, as the card and the tree-list show them. Lists are joined with
// ", " after a non-empty text only, so an empty first element leaves no trace while a later one
// leaves a separator with nothing after it.

// The genre names (GenreName of every code) in the order of Genres.
std::string GenresText(const TBookItem& book);
// The full author names in the order of AuthorLong.
std::string AuthorsText(const TBookItem& book);
// Empty without a series name; the name alone without a number; otherwise «name», № number.
std::string SerieText(const TBookItem& book);

// Fills a tree-list row from a book: caption and columns 2 to 5, the state image, the sort key
// and the book reference. Column 1 is left as it is.
void FillBookRow(TBookItem* book, TTreeRow* row);

// The number in a series as a sort key: an optional sign and decimal digits only, within the
// range of a signed 32-bit integer; anything else has no number.
std::optional<int> SerieNumber(std::string_view text);
