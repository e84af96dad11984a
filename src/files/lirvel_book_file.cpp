#include "files/lirvel_dm_files.h"

#include "util/lirvel_xml.h"

bool Tdm_files::OpenBookFile(const TFilesListItem& /*item*/, std::unique_ptr<TXmlDocument>& doc) const
{
    doc.reset();
    return false; // not yet: the book file reader comes next
}
