#include "files/lirvel_dm_files.h"

#include "files/lirvel_cp1251.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_file_io.h"
#include "util/lirvel_text.h"
#include "util/lirvel_xml.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

struct TZipDiscard
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct TZipFileClose
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using TZipArchive = std::unique_ptr<zip_t, TZipDiscard>;
using TZipFile = std::unique_ptr<zip_file_t, TZipFileClose>;

std::string ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// A FIFO or a device named like a book would block the reader or never end; only regular files
// are read. Answers the file's size.
template <class TError> std::uint64_t RequireRegularFile(const std::string& path, const char* what)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        throw TError(std::string("Не удалось открыть ") + what + " " + path + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw TError(std::string("Не удалось прочитать ") + what + " " + path + ": это не обычный файл");
    return static_cast<std::uint64_t>(st.st_size);
}

// The first entry of the archive's directory, extracted by its stored name. False for an archive
// without entries and for an entry too large to be a book, which is never read into memory.
bool ReadFirstEntry(const std::string& path, std::string& content)
{
    int code = 0;
    const TZipArchive archive(zip_open(path.c_str(), ZIP_RDONLY, &code));
    if (!archive)
        throw EArchiveError("Не удалось открыть архив " + path + ": " + ZipErrorText(code));
    if (zip_get_num_entries(archive.get(), 0) <= 0)
        return false;

    const char* stored = zip_get_name(archive.get(), 0, 0);
    if (stored == nullptr)
        throw EArchiveError("Не удалось прочитать оглавление архива " + path + ": " +
                            zip_strerror(archive.get()));
    const std::string name = stored;
    // Several entries may bear the same name; the lookup by name finds the first of them, which is
    // the entry at position 0. A name that does not survive the lookup (a NUL inside it) still
    // names that entry.
    zip_int64_t index = zip_name_locate(archive.get(), name.c_str(), 0);
    if (index < 0)
        index = 0;
    const auto entryIndex = static_cast<zip_uint64_t>(index);
    auto extractError = [&](const std::string& reason) {
        return EArchiveError("Не удалось извлечь " + name + " из архива " + path + ": " + reason);
    };

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.get(), entryIndex, 0, &st) != 0)
        throw extractError(zip_strerror(archive.get()));
    const bool sizeKnown = (st.valid & ZIP_STAT_SIZE) != 0;
    if (sizeKnown && st.size > MaxBookSize)
        return false;

    const TZipFile entry(zip_fopen_index(archive.get(), entryIndex, 0));
    if (!entry)
        throw extractError(zip_strerror(archive.get()));

    // The stated size is only a claim. The data is read up to one byte past the limit, so an entry
    // that inflates beyond it is caught without holding more; and beyond the first 16 MiB the
    // buffer grows with what really arrives, not with what is stated. The spare byte leaves room
    // for the line end that the text may need.
    constexpr std::uint64_t FirstBuffer = 16ull * 1024 * 1024;
    std::uint64_t capacity = (sizeKnown ? std::min(st.size, FirstBuffer) : FirstBuffer) + 1;
    content.resize(static_cast<std::size_t>(capacity));
    std::uint64_t used = 0;
    for (;;) {
        if (used == capacity) {
            if (capacity > MaxBookSize)
                return false;
            capacity = std::min<std::uint64_t>(std::max<std::uint64_t>(capacity * 2, 65536), MaxBookSize + 1);
            content.resize(static_cast<std::size_t>(capacity));
        }
        const zip_int64_t n = zip_fread(entry.get(), content.data() + used, capacity - used);
        if (n < 0)
            throw extractError(zip_file_strerror(entry.get()));
        if (n == 0)
            break;
        used += static_cast<std::uint64_t>(n);
    }
    if (used > MaxBookSize)
        return false;
    content.resize(static_cast<std::size_t>(used));
    return true;
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// Where the first line ends, at its LF, CR or CRLF, and where the next line begins.
void FindFirstLine(std::string_view text, std::size_t& lineEnd, std::size_t& nextLine)
{
    lineEnd = 0;
    while (lineEnd < text.size() && !IsLineEnd(text[lineEnd]))
        ++lineEnd;
    nextLine = lineEnd;
    if (nextLine < text.size())
        nextLine +=
            text[nextLine] == '\r' && nextLine + 1 < text.size() && text[nextLine + 1] == '\n' ? 2 : 1;
}

bool ContainsAsciiNoCase(std::string_view text, std::string_view lowerNeedle)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(),
                       [&](char a, char b) { return lower(a) == b; }) != text.end();
}

// The text as lines that end at LF, CR or CRLF, joined again with one LF after each: CR and CRLF
// become LF in place, and a last line without an end gets its LF. `endsWithLineEnd` tells about the
// original text, whose last byte may have been dropped by a conversion.
void JoinLines(std::string& text, bool endsWithLineEnd)
{
    std::size_t read = text.find('\r');
    if (read != std::string::npos) {
        char* const data = text.data();
        const std::size_t size = text.size();
        std::size_t write = read;
        while (read < size) {
            // data[read] is a CR: it ends a line, together with an LF right after it.
            data[write++] = '\n';
            ++read;
            if (read < size && data[read] == '\n')
                ++read;
            const void* cr = std::memchr(data + read, '\r', size - read);
            const std::size_t next =
                cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : size;
            std::memmove(data + write, data + read, next - read);
            write += next - read;
            read = next;
        }
        text.resize(write);
    }
    if (!endsWithLineEnd)
        text.push_back('\n');
}

// Text in UTF-16 or UTF-32 (by its byte-order mark or by how "<" is encoded at its start) is handed
// over as it is: its line ends are two or four bytes long, and a CR byte inside a character (the
// low byte of U+010D, for instance) is no line end at all. The XML reader treats line ends itself.
bool IsWideText(std::string_view text)
{
    static constexpr std::string_view Starts[] = {
        std::string_view("\xFE\xFF", 2), std::string_view("\xFF\xFE", 2), std::string_view("\0\0\xFE\xFF", 4),
        std::string_view("\0\0\0<", 4),  std::string_view("<\0\0\0", 4),  std::string_view("\0<\0?", 4),
        std::string_view("<\0?\0", 4),
    };
    return std::any_of(std::begin(Starts), std::end(Starts),
                       [&](std::string_view s) { return text.starts_with(s); });
}

// Turns the loaded content into the text for the XML reader. A first line that declares
// windows-1251 loses its XML declaration and the rest is converted to UTF-8; the reader then takes
// it as UTF-8, which is what a document without a declaration is. Only the declaration goes: a
// root start tag on the same line stays.
void PrepareText(std::string& content)
{
    if (IsWideText(content))
        return;
    std::size_t lineEnd = 0;
    std::size_t nextLine = 0;
    FindFirstLine(content, lineEnd, nextLine);
    const std::string_view firstLine = std::string_view(content).substr(0, lineEnd);
    if (!ContainsAsciiNoCase(firstLine, "<?") || !ContainsAsciiNoCase(firstLine, "windows-1251")) {
        JoinLines(content, IsLineEnd(content.back()));
        return;
    }
    std::size_t start = nextLine;
    const std::size_t open = firstLine.find("<?");
    const std::size_t close = firstLine.find("?>", open + 2);
    if (close != std::string_view::npos && close + 2 < lineEnd)
        start = close + 2;
    const std::string_view rest = std::string_view(content).substr(start);
    if (rest.empty()) {
        content.clear();
        return;
    }
    const bool endsWithLineEnd = IsLineEnd(rest.back());
    std::string converted;
    AppendCp1251AsUtf8(rest, converted);
    JoinLines(converted, endsWithLineEnd);
    content.swap(converted);
}

} // namespace

bool Tdm_files::OpenBookFile(const TFilesListItem& item, std::unique_ptr<TXmlDocument>& doc) const
{
    doc.reset();
    const std::string& path = item.FileName;
    const std::string ext = LowerExtension(path);
    std::string content;
    if (ext == ".fb2") {
        // Room for the line end that the last line may need, so that adding it copies nothing.
        if (const std::uint64_t size = RequireRegularFile<EFileError>(path, "файл"); size < MaxBookSize)
            content.reserve(static_cast<std::size_t>(size) + 1);
        if (!ReadWholeFileLimited(path, MaxBookSize, content))
            return false;
    } else if (ext == ".zip") {
        // An empty file holds no entry; the archive reader would call it no archive at all.
        if (RequireRegularFile<EArchiveError>(path, "архив") == 0 || !ReadFirstEntry(path, content))
            return false;
    } else {
        return false;
    }
    if (content.empty())
        return false;

    PrepareText(content);
    try {
        doc = TXmlDocument::ParseMemory(content, path);
    } catch (const EXmlError&) {
        doc.reset();
        return false;
    }
    return SameTextAscii(doc->DocumentElement().Name(), "FictionBook");
}
