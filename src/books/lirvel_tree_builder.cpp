#include "books/lirvel_dm_books.h"

void TdmBooks::BuildTree(TBookItem* /*OnlyBook*/) {}
