#include "books/lirvel_books_storage.h"

#include "books/lirvel_dm_books.h"
#include "books/lirvel_doc_tree.h"
#include "util/lirvel_text.h"
#include "util/lirvel_xml.h"
#include "util/lirvel_xml_escape.h"

#include <charconv>
#include <cmath>

namespace {

// "True" or "False" in any letter case, or a decimal number: anything else is false.
bool StoredTextToBool(std::string_view text)
{
    if (SameTextAscii(text, "true"))
        return true;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value != 0;
}

// Attribute values have their blanks normalised by every XML reader: a tab or a line break in a
// path would come back as a blank and the book would no longer find its file. As character
// references they survive.
std::string EscapePathAttr(std::string_view path)
{
    std::string result = EscapeXmlAttr(path);
    if (result.find_first_of("\t\n\r") == std::string::npos)
        return result;
    std::string escaped;
    escaped.reserve(result.size() + 16);
    for (const char c : result) {
        switch (c) {
        case '\t':
            escaped += "&#9;";
            break;
        case '\n':
            escaped += "&#10;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// Whether the path can stand in the UTF-8 configuration file at all: a file name is any bytes,
// but one that is not valid UTF-8, or holds a control character that XML forbids, would make the
// whole file unreadable at the next start, losing every other book and setting with it.
bool PathFitsXml(std::string_view path)
{
    const auto* s = reinterpret_cast<const unsigned char*>(path.data());
    const std::size_t n = path.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return false;
            ++i;
            continue;
        }
        std::size_t length;
        char32_t code;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07u;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (s[i + k] & 0x3Fu);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
            code == 0xFFFF)
            return false;
        i += length;
    }
    return true;
}

void AddElement(TStringList& lines, std::string_view name, std::string_view value)
{
    std::string line;
    line.reserve(6 + 2 * name.size() + 5 + value.size() + 8);
    line.append("      <")
        .append(name)
        .append(">")
        .append(EscapeXmlText(value))
        .append("</")
        .append(name)
        .append(">");
    lines.push_back(std::move(line));
}

} // namespace

bool SameStamp(TDateTime stored, TDateTime current)
{
    if (stored == 0)
        return false;
    // Rounded as doubles: no conversion to an integer type that a wild stored value could overflow.
    return std::round(stored * 86400.0) == std::round(current * 86400.0);
}

void TdmBooks::WriteBooksList(TStringList& lines) const
{
    lines.push_back("  <BooksList>");
    for (int i = 0; i < Count(); ++i)
        Items(i)->WriteBook(lines);
    lines.push_back("  </BooksList>");
}

void TBookItem::WriteBook(TStringList& lines) const
{
    // Such a book is read again as a new one at every start; that is far better than a
    // configuration file that no longer loads.
    if (!PathFitsXml(File.FileName))
        return;
    lines.push_back("    <Book File=\"" + EscapePathAttr(File.FileName) + "\" Changed=\"" +
                    EscapeXmlAttr(DateTimeToText(File.Changed)) + "\">");
    AddElement(lines, "BookName", BookName);
    for (const std::string& genre : Genres)
        AddElement(lines, "genre", genre);
    for (const std::string& author : AuthorShort)
        AddElement(lines, "AuthorShort", author);
    for (const std::string& author : AuthorLong)
        AddElement(lines, "AuthorLong", author);
    AddElement(lines, "SerieName", SerieName);
    AddElement(lines, "SerieBook", SerieBook);
    AddElement(lines, "IsFavorite", IsFavorite ? "True" : "False");
    AddElement(lines, "BookState", BookStateToStr(BookState));
    lines.push_back("    </Book>");
}

std::unique_ptr<TBookItem> TBookItem::CreateFromStored(const TXmlNode& element,
                                                       const TFilesListItem& fileItem)
{
    auto book = std::make_unique<TBookItem>();
    book->File.Assign(fileItem);

    TDateTime stored = 0;
    if (element.HasAttributes() && element.HasAttribute("Changed"))
        stored = TextToDateTime(element.Attribute("Changed"));
    const bool same = SameStamp(stored, book->File.Changed);

    // One walk over the children rather than one per element read: the catalogue may hold a hundred
    // thousand books. Of a repeated single-valued child the last one counts, as with FindChildNode.
    TXmlNode favorite, state, title, serie, serieBook;
    for (const TXmlNode child : Children(element)) {
        TStringList* list = nullptr;
        if (child.HasName("genre"))
            list = &book->Genres;
        else if (child.HasName("AuthorShort"))
            list = &book->AuthorShort;
        else if (child.HasName("AuthorLong"))
            list = &book->AuthorLong;
        else if (child.HasName("BookName"))
            title = child;
        else if (child.HasName("SerieName"))
            serie = child;
        else if (child.HasName("SerieBook"))
            serieBook = child;
        else if (child.HasName("IsFavorite"))
            favorite = child;
        else if (child.HasName("BookState"))
            state = child;
        if (same && list != nullptr && child.HasChildNodes())
            list->push_back(FirstChildValue(child));
    }
    book->IsFavorite = StoredTextToBool(FirstChildValue(favorite));
    book->BookState = StrToBookState(FirstChildValue(state));

    if (!same) {
        // The file changed since it was stored: only the user's own marks are kept.
        book->ReadTitleInfo();
        return book;
    }
    // The stored texts as they are: neither sorted again nor given defaults.
    book->BookName = FirstChildValue(title);
    book->SerieName = FirstChildValue(serie);
    book->SerieBook = FirstChildValue(serieBook);
    return book;
}
