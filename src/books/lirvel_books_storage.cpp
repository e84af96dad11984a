#include "books/lirvel_dm_books.h"

void TdmBooks::WriteBooksList(TStringList& lines) const
{
    lines.push_back("  <BooksList>");
    for (int i = 0; i < Count(); ++i)
        Items(i)->WriteBook(lines);
    lines.push_back("  </BooksList>");
}

void TBookItem::WriteBook(TStringList& /*lines*/) const {}

std::unique_ptr<TBookItem> TBookItem::CreateFromStored(const TXmlNode& /*element*/, const TFilesListItem& fileItem)
{
    auto book = std::make_unique<TBookItem>();
    book->File.Assign(fileItem);
    return book;
}
