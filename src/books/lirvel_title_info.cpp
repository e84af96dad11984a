#include "books/lirvel_book_item.h"

std::unique_ptr<TBookItem> TBookItem::CreateFromFile(const TFilesListItem& fileItem)
{
    auto book = std::make_unique<TBookItem>();
    book->File.Assign(fileItem);
    book->ReadTitleInfo();
    return book;
}

void TBookItem::ReadTitleInfo() {}
