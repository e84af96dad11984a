#include "books/lirvel_book_item.h"

#include "books/lirvel_doc_tree.h"
#include "util/lirvel_xml.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <numeric>

namespace {

bool OpenBook(const TFilesListItem& file, std::unique_ptr<TXmlDocument>& doc)
{
    // The reader keeps no state of the data module; without one (a tool, a test) any will do.
    if (dm_files != nullptr)
        return dm_files->OpenBookFile(file, doc);
    const Tdm_files reader;
    return reader.OpenBookFile(file, doc);
}

// Ascending by the system locale's collation, letter case ignored; equal codes keep their order.
void SortGenres(TStringList& genres)
{
    if (genres.size() < 2)
        return;
    static const QCollator collator = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    std::vector<QString> keys;
    keys.reserve(genres.size());
    for (const std::string& g : genres)
        keys.push_back(QString::fromStdString(g));
    std::vector<std::size_t> order(genres.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return collator.compare(keys[a], keys[b]) < 0; });
    TStringList sorted;
    sorted.reserve(genres.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(genres[i]));
    genres.swap(sorted);
}

} // namespace

std::unique_ptr<TBookItem> TBookItem::CreateFromFile(const TFilesListItem& fileItem)
{
    auto book = std::make_unique<TBookItem>();
    book->File.Assign(fileItem);
    book->ReadTitleInfo();
    return book;
}

void TBookItem::ReadTitleInfo()
{
    std::unique_ptr<TXmlDocument> doc;
    if (!OpenBook(File, doc))
        return;

    const TXmlNode ti = GetTitleInfo(doc->DocumentElement());
    BookName = GetChildText(ti, "book-title");
    for (const TXmlNode child : Children(ti)) {
        if (child.HasName("genre")) {
            if (child.HasChildNodes())
                Genres.push_back(FirstChildValue(child));
        } else if (child.HasName("author")) {
            const std::string last = GetChildText(child, "last-name");
            const std::string first = GetChildText(child, "first-name");
            const std::string middle = GetChildText(child, "middle-name");
            AuthorShort.push_back(last + " " + first);
            AuthorLong.push_back(last + " " + first + " " + middle);
        }
    }

    if (const TXmlNode seq = FindChildNode(ti, "sequence")) {
        SerieName = "asd";
        if (seq.HasAttributes()) {
            if (seq.HasAttribute("name"))
                SerieName = seq.Attribute("name");
            if (seq.HasAttribute("number"))
                SerieBook = seq.Attribute("number");
        }
    }

    SortGenres(Genres);
    if (Genres.empty())
        Genres.push_back("other");
    if (AuthorLong.empty())
        AuthorLong.push_back("unknown");
    if (AuthorShort.empty())
        AuthorShort.push_back("unknown");
    if (BookName.empty())
        BookName = "unknown";
}
