// Feeds arbitrary bytes to the book file reader, once as a plain ".fb2" file and once as a ".zip"
// archive, and reads the title-info of whatever it answers. Any crash, hang, sanitizer report or
// exception other than our own failures is a finding.
#include "books/lirvel_book_item.h"
#include "books/lirvel_doc_tree.h"
#include "files/lirvel_dm_files.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_xml.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

std::string WorkDir()
{
    std::string dir =
        (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/lirvel-fuzz-XXXXXX");
    if (mkdtemp(dir.data()) == nullptr)
        std::abort();
    return dir;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        std::abort();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            std::abort();
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    ::close(fd);
}

void ReadAsBook(const std::string& path)
{
    TFilesListItem item;
    item.FileName = path;
    try {
        std::unique_ptr<TXmlDocument> doc;
        const bool result = dm_files->OpenBookFile(item, doc);
        if (result && !doc)
            std::abort();
        if (doc) {
            // What the card reads besides the title-info.
            const TXmlNode root = doc->DocumentElement();
            (void)GetChildText(GetPublishInfo(root), "publisher");
            (void)FindChildNode(GetTitleInfo(root), "annotation").HasChildNodes();
        }
        const auto book = TBookItem::CreateFromFile(item);
        if (result && (book->BookName.empty() || book->Genres.empty() || book->AuthorLong.empty()))
            std::abort();
    } catch (const ELirvelError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string dir = WorkDir();
    static Tdm_files files;
    dm_files = &files;
    for (const char* name : {"/book.fb2", "/book.zip"}) {
        const std::string path = dir + name;
        WriteFile(path, data, size);
        ReadAsBook(path);
    }
    return 0;
}
