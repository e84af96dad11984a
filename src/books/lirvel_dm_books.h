#pragma once

#include "books/lirvel_book_item.h"
#include "files/lirvel_my_list.h"

class TXmlNode;

// The owner of the catalogue: the book records, in load order.
class TdmBooks
{
public:
    TdmBooks() { DataModuleCreate(); }
    ~TdmBooks() { DataModuleDestroy(); }
    TdmBooks(const TdmBooks&) = delete;
    TdmBooks& operator=(const TdmBooks&) = delete;

    void DataModuleCreate();
    void DataModuleDestroy();

    // Frees every record, from the last to the first.
    void Clear() { Books->Clear(); }
    int Count() const { return Books->Count(); }
    TBookItem* Items(int index) const { return Books->Items(index); }

    // Appends the BooksList section to the lines of the configuration file.
    void WriteBooksList(TStringList& lines) const;

    // The catalogue merge: stored books whose file the scan found, then the new files.
    void MergeStoredBooks(const TXmlNode& booksList);
    void AddNewBooks();

    // Builds the navigation tree in the main window's tree-list: for all books, or refreshes
    // the rows of one book.
    void BuildTree(TBookItem* OnlyBook = nullptr);

    std::unique_ptr<TMyList<TBookItem>> Books;
};

extern TdmBooks* dmBooks;
