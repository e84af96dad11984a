#include "books/lirvel_dm_books.h"

#include "util/lirvel_host.h"
#include "util/lirvel_xml.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The scan list by path. A stored book takes the first item with its path that no earlier
// stored book took, exactly as a search from the start of the list would find it once the taken
// items are gone; with tens of thousands of books that search would cost a pass over the whole
// list for every stored book.
class TScanIndex
{
  public:
    explicit TScanIndex(const TMyList<TFilesListItem>& files)
    {
        const int count = files.Count();
        FNext.assign(static_cast<std::size_t>(count), -1);
        FFirst.reserve(static_cast<std::size_t>(count));
        std::unordered_map<std::string_view, int> last;
        last.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const std::string& path = files.Items(i)->FileName;
            const auto [it, added] = last.try_emplace(path, i);
            if (added) {
                FFirst.emplace(path, i);
            } else {
                FNext[static_cast<std::size_t>(it->second)] = i;
                it->second = i;
            }
        }
    }

    // The position of the first item with the path that is still in the list; -1 for none.
    int Find(const std::string& path) const
    {
        const auto it = FFirst.find(path);
        return it == FFirst.end() ? -1 : it->second;
    }

    // The item found for the path has left the list.
    void Taken(const std::string& path)
    {
        const auto it = FFirst.find(path);
        it->second = FNext[static_cast<std::size_t>(it->second)];
        if (it->second < 0)
            FFirst.erase(it);
    }

  private:
    // Keys are copies: the items they would point into are freed while the index lives.
    std::unordered_map<std::string, int> FFirst;
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
    TScanIndex index(files);
    TPackOnExit pack(files);
    for (const TXmlNode child : Children(booksList)) {
        // The element's name plays no part: whatever names a found file is a stored book.
        const std::string path = child.Attribute("File");
        const int found = index.Find(path);
        if (found < 0)
            continue; // its file is gone, and with it the book
        try {
            Books->Add(TBookItem::CreateFromStored(child, *files.Items(found)));
            index.Taken(path);
            files.Extract(found).reset();
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
