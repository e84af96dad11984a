#pragma once

#include "files/lirvel_dm_files.h"

#include <QImage>
#include <memory>
#include <string>
#include <vector>

class TXmlNode;

// The user's reading state of a book.
enum TBookState { bsNone = 0, bsRead = 1, bsDone = 2, bsEdit = 3 };

// "bsNone", "bsRead", "bsDone", "bsEdit"; "bsNone" for any number outside 1 to 3.
std::string BookStateToStr(TBookState state);
// The reverse, ignoring the case of A to Z; any other text (not trimmed) gives bsNone.
TBookState StrToBookState(const std::string& text);

using TStringList = std::vector<std::string>;

// One catalogued book. All texts are UTF-8.
class TBookItem
{
public:
    TBookItem() = default; // an empty record: empty texts and lists, stamp 0, bsNone
    TBookItem(const TBookItem&) = delete;
    TBookItem& operator=(const TBookItem&) = delete;

    // A record for a newly found file, filled from its title-info. Fails when the file cannot
    // be opened or read; a file that is no FB2 document gives a record with an empty title.
    static std::unique_ptr<TBookItem> CreateFromFile(const TFilesListItem& fileItem);
    // A record restored from a stored Book element and the scanned file item it matches.
    static std::unique_ptr<TBookItem> CreateFromStored(const TXmlNode& element, const TFilesListItem& fileItem);

    // Fills title, genres, authors and series from the book file.
    void ReadTitleInfo();
    // Appends the record's Book element to the lines of the configuration file.
    void WriteBook(TStringList& lines) const;
    // Reads annotation, publisher line and cover from the book file, once per run.
    void LoadDescription();

    TFilesListItem File;
    std::string BookName;
    std::string SerieName;
    std::string SerieBook;
    TStringList Genres;
    TStringList AuthorLong;
    TStringList AuthorShort;
    bool DescriptionLoaded = false;
    std::string Annotation;
    std::string Publisher;
    bool IsFavorite = false;
    TBookState BookState = bsNone;
    QImage CoverPicture;
};
