#include "books/lirvel_dm_books.h"

TdmBooks* dmBooks = nullptr;

void TdmBooks::DataModuleCreate() { Books = std::make_unique<TMyList<TBookItem>>(); }

void TdmBooks::DataModuleDestroy() { Books.reset(); }
