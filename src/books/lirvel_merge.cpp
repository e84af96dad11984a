#include "books/lirvel_dm_books.h"

#include "util/lirvel_host.h"
#include "util/lirvel_xml.h"

#include <bit>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The scan list by path. A stored book takes the first item with its path that no earlier
// stored book took, exactly as a search from the start of the list would find it once the taken
// items are gone; with a hundred thousand books that search would cost a pass over the whole list
// for every stored book. An open-addressing table: one probe touches one slot and one path, and
// building it allocates nothing per item. The keys are the items' own paths, so taken items must
// outlive the index.
class TScanIndex
{
  public:
    struct TSlot
    {
        std::size_t Hash = 0;
        std::string_view Path; // empty data: a free slot
        int First = -1;        // the first item with the path still in the list; -1 when all are taken
        int Last = -1;         // the latest item with the path, while the chain is being built
    };

    explicit TScanIndex(const TMyList<TFilesListItem>& files)
    {
        const std::size_t count = static_cast<std::size_t>(files.Count());
        FSlots.resize(std::bit_ceil(2 * count + 1));
        FNext.assign(count, -1);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view path = files.Items(static_cast<int>(i))->FileName;
            const std::size_t hash = std::hash<std::string_view>{}(path);
            TSlot& slot = Probe(path, hash);
            const int position = static_cast<int>(i);
            if (slot.Path.data() == nullptr) {
                slot = {hash, path, position, position};
            } else {
                FNext[static_cast<std::size_t>(slot.Last)] = position;
                slot.Last = position;
            }
        }
    }

    // The slot of the path, or none when no item with the path is left.
    TSlot* Find(std::string_view path)
    {
        TSlot& slot = Probe(path, std::hash<std::string_view>{}(path));
        return slot.Path.data() != nullptr && slot.First >= 0 ? &slot : nullptr;
    }

    // The item found has left the list: the next one with its path is found from now on.
    void Taken(TSlot& slot) { slot.First = FNext[static_cast<std::size_t>(slot.First)]; }

  private:
    // The slot that holds the path, or the free slot where it would go.
    TSlot& Probe(std::string_view path, std::size_t hash)
    {
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            TSlot& slot = FSlots[i];
            if (slot.Path.data() == nullptr || (slot.Hash == hash && slot.Path == path))
                return slot;
        }
    }

    std::vector<TSlot> FSlots; // never full: at most half of the slots are used
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
        auto* const found = index.Find(child.Attribute("File"));
        if (found == nullptr)
            continue; // its file is gone, and with it the book
        const int position = found->First;
        try {
            Books->Add(TBookItem::CreateFromStored(child, *files.Items(position)));
            index.Taken(*found);
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
