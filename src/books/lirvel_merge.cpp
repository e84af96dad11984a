#include "books/lirvel_dm_books.h"

#include "util/lirvel_host.h"
#include "util/lirvel_xml.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// The scan list by path. A stored book takes the first item with its path that no earlier
// stored book took, exactly as a search from the start of the list would find it once the taken
// items are gone; with tens of thousands of books that search would cost a pass over the whole
// list for every stored book. The keys are the items' own paths: taken items must outlive the index.
class TScanIndex
{
    struct TEntry
    {
        int First; // the first item with the path still in the list
        int Last;  // the latest item with the path, while the chain is being built
    };
    using TMap = std::unordered_map<std::string_view, TEntry>;

  public:
    using TFound = TMap::iterator;

    explicit TScanIndex(const TMyList<TFilesListItem>& files)
    {
        const int count = files.Count();
        FNext.assign(static_cast<std::size_t>(count), -1);
        FFirst.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const auto [it, added] = FFirst.try_emplace(files.Items(i)->FileName, TEntry{i, i});
            if (!added) {
                FNext[static_cast<std::size_t>(it->second.Last)] = i;
                it->second.Last = i;
            }
        }
    }

    TFound Find(std::string_view path) { return FFirst.find(path); }
    bool Exists(TFound found) const { return found != FFirst.end(); }
    int Position(TFound found) const { return found->second.First; }

    // The item found has left the list: the next one with its path is found from now on.
    void Taken(TFound found)
    {
        found->second.First = FNext[static_cast<std::size_t>(found->second.First)];
        if (found->second.First < 0)
            FFirst.erase(found);
    }

  private:
    TMap FFirst;
    std::vector<int> FNext;
};

// Closes the gaps that taken items leave in the scan list, however the merge ends.
class TPackOnExit
{
  public:
    explicit TPackOnExit(TMyList<TFilesListItem>& files) : FFiles(files) {}
    ~TPackOnExit() { FFiles.Pack(); }
    TPackOnExit(const TPackOnExit&) = delete;
    TPackOnExit& operator=(const TPackOnExit&) = delete;

  private:
    TMyList<TFilesListItem>& FFiles;
};

} // namespace

void TdmBooks::MergeStoredBooks(const TXmlNode& booksList)
{
    TMyList<TFilesListItem>& files = *dm_files->FilesList;
    // Declared first, so freed last: the index refers to the paths of the items taken.
    std::vector<std::unique_ptr<TFilesListItem>> taken;
    taken.reserve(static_cast<std::size_t>(files.Count()));
    TPackOnExit pack(files);
    TScanIndex index(files);
    for (const TXmlNode child : Children(booksList)) {
        // The element's name plays no part: whatever names a found file is a stored book.
        const TScanIndex::TFound found = index.Find(child.Attribute("File"));
        if (!index.Exists(found))
            continue; // its file is gone, and with it the book
        const int position = index.Position(found);
        try {
            Books->Add(TBookItem::CreateFromStored(child, *files.Items(position)));
            index.Taken(found);
            taken.push_back(files.Extract(position));
        } catch (const std::exception&) {
            // The file stays among the new ones: it gets a second chance as a new book.
        }
        AppHost().Step();
    }
}

void TdmBooks::AddNewBooks()
{
    const int count = dm_files->Count();
    for (int i = 0; i < count; ++i) {
        try {
            auto book = TBookItem::CreateFromFile(*dm_files->Items(i));
            // No title means the file is no FB2 book.
            if (!book->BookName.empty())
                Books->Add(std::move(book));
        } catch (const std::exception&) {
            // A file that cannot be read is left out; the others still load.
        }
        AppHost().Step();
    }
    dm_files->Clear();
}
