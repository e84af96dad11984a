#include "books/lirvel_dm_books.h"

void TdmBooks::MergeStoredBooks(const TXmlNode& /*booksList*/) {}

void TdmBooks::AddNewBooks() { dm_files->Clear(); }
