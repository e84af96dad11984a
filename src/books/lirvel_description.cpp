#include "books/lirvel_book_item.h"

// Annotation, publisher line and cover are read when the book card first shows the book.
void TBookItem::LoadDescription() {}
