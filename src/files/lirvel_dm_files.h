#pragma once

#include "files/lirvel_my_list.h"
#include "util/lirvel_datetime.h"

#include <memory>
#include <string>

class TXmlDocument;

// One book file found by the folder scan.
class TFilesListItem
{
public:
    std::string FileName; // folder text as configured + "/" + entry name as the system returned it
    TDateTime Changed = 0; // modification time, local time to the whole second

    void Assign(const TFilesListItem& other)
    {
        FileName = other.FileName;
        Changed = other.Changed;
    }
};

// Books larger than this are not books: they are rejected without being read into memory.
constexpr std::uint64_t MaxBookSize = 256ull * 1024 * 1024;

// The found book files, from the scan until the catalogue merge has consumed them.
class Tdm_files
{
public:
    Tdm_files() { DataModuleCreate(); }
    ~Tdm_files() { DataModuleDestroy(); }
    Tdm_files(const Tdm_files&) = delete;
    Tdm_files& operator=(const Tdm_files&) = delete;

    void DataModuleCreate();
    void DataModuleDestroy();

    int Count() const { return FilesList->Count(); }
    TFilesListItem* Items(int index) const { return FilesList->Items(index); }
    void Clear() { FilesList->Clear(); }
    // Index of an item whose FileName equals the path byte for byte; -1 when there is none.
    int IndexOf(const std::string& path) const;
    // Removes the item at the index and frees it.
    void Delete(int index) { FilesList->Delete(index); }

    // Appends an item for every ".fb2" or ".zip" entry directly in the folder.
    void ScanFolder(const std::string& folder);

    // Reads a book file into a parsed document. True with the document when its root is a
    // FictionBook element; false with the document for another root; false without a document
    // for another extension, empty content, an archive without entries, content the XML reader
    // rejects or a book larger than MaxBookSize. Fails with an EFileError or EArchiveError when the
    // file or the archive cannot be opened or read, or the entry cannot be extracted.
    bool OpenBookFile(const TFilesListItem& item, std::unique_ptr<TXmlDocument>& doc) const;

    std::unique_ptr<TMyList<TFilesListItem>> FilesList;
};

extern Tdm_files* dm_files;

// The lower-cased extension of a file name: the text from the last "." that follows the last "/",
// dot included, with ASCII letters lowered; empty when there is none.
std::string LowerExtension(const std::string& name);
