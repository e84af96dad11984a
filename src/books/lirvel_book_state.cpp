#include "books/lirvel_book_item.h"

#include "util/lirvel_text.h"

std::string BookStateToStr(TBookState state)
{
    switch (state) {
    case bsRead:
        return "bsRead";
    case bsDone:
        return "bsDone";
    case bsEdit:
        return "bsEdit";
    default:
        return "bsNone";
    }
}

TBookState StrToBookState(const std::string& text)
{
    const std::string lowered = AsciiLower(text);
    if (lowered == "bsread")
        return bsRead;
    if (lowered == "bsdone")
        return bsDone;
    if (lowered == "bsedit")
        return bsEdit;
    return bsNone;
}
