#include "bench_library.h"

#include "util/lirvel_xml_escape.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Bump when the books generated for the same parameters change, so that old caches are not used.
constexpr int GeneratorVersion = 3;
constexpr int BooksPerFolder = 1000;

class TRandom
{
  public:
    explicit TRandom(std::uint64_t seed) : FState(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int Between(int low, int high)
    {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <class T, std::size_t N> const T& Pick(const std::array<T, N>& items)
    {
        return items[Next() % N];
    }

  private:
    std::uint64_t FState;
};

constexpr std::array<std::string_view, 96> Words = {
    "и",        "в",       "не",      "на",      "что",      "он",       "она",     "они",     "был",
    "было",     "сказал",  "когда",   "потом",   "уже",      "ещё",      "только",  "дом",     "город",
    "дорога",   "лес",     "река",    "небо",    "земля",    "ночь",     "день",    "утро",    "вечер",
    "время",    "человек", "женщина", "мальчик", "старик",   "корабль",  "звезда",  "планета", "машина",
    "письмо",   "книга",   "окно",    "дверь",   "смотрел",  "шёл",      "думал",   "знал",    "ждал",
    "молчал",   "говорил", "слушал",  "тихо",    "быстро",   "медленно", "далеко",  "близко",  "никогда",
    "всегда",   "снова",   "тёмный",  "светлый", "холодный", "тёплый",   "старый",  "новый",   "последний",
    "первый",   "Ёлкин",   "ёж",      "чёрный",  "жёлтый",   "объём",    "подъезд", "щука",    "эхо",
    "юный",     "яблоко",  "цветок",  "шум",     "хлеб",     "фонарь",   "улица",   "трава",   "сердце",
    "разговор", "пустота", "огонь",   "надежда", "мост",     "ключ",     "история", "зеркало", "жизнь",
    "война",    "вопрос",  "берег",   "ветер",   "голос",    "судьба"};
constexpr std::array<std::string_view, 24> LastNames = {
    "Иванов",   "Петров",  "Сидоров", "Кузнецов", "Смирнов",  "Попов",    "Васильев", "Соколов",
    "Михайлов", "Новиков", "Фёдоров", "Морозов",  "Волков",   "Алексеев", "Лебедев",  "Семёнов",
    "Егоров",   "Павлов",  "Козлов",  "Степанов", "Николаев", "Орлов",    "Андреев",  "Макаров"};
constexpr std::array<std::string_view, 16> FirstNames = {
    "Иван", "Пётр",  "Сергей", "Андрей", "Алексей", "Дмитрий", "Олег",  "Михаил",
    "Анна", "Мария", "Елена",  "Ольга",  "Юлия",    "Наталья", "Роман", "Глеб"};
constexpr std::array<std::string_view, 12> MiddleNames = {
    "Иванович", "Петрович",   "Сергеевич", "Андреевич", "Алексеевич", "Дмитриевич",
    "Олегович", "Михайлович", "Ивановна",  "Петровна",  "Сергеевна",  "Андреевна"};
constexpr std::array<std::string_view, 24> GenreCodes = {"sf",
                                                         "sf_history",
                                                         "sf_action",
                                                         "sf_fantasy",
                                                         "sf_space",
                                                         "det_classic",
                                                         "det_police",
                                                         "det_irony",
                                                         "thriller",
                                                         "prose_classic",
                                                         "prose_contemporary",
                                                         "adventure",
                                                         "adv_history",
                                                         "love_contemporary",
                                                         "love_history",
                                                         "humor_prose",
                                                         "poetry",
                                                         "children",
                                                         "sci_history",
                                                         "nonf_biography",
                                                         "ref_encyc",
                                                         "religion",
                                                         "antique",
                                                         "other"};

std::string Base64(const std::string& bytes)
{
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(bytes.size() * 4 / 3 + bytes.size() / 57 + 8);
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
        const auto b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0u;
        out += Alphabet[b0 >> 2];
        out += Alphabet[((b0 & 3u) << 4) | (b1 >> 4)];
        out += i + 1 < bytes.size() ? Alphabet[((b1 & 15u) << 2) | (b2 >> 6)] : '=';
        out += i + 2 < bytes.size() ? Alphabet[b2 & 63u] : '=';
        if ((column += 4) == 76) {
            out += '\n';
            column = 0;
        }
    }
    return out;
}

// Only Cyrillic letters and ASCII occur in the generated texts.
std::string Utf8ToCp1251(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const auto d = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        ++i;
        const unsigned code = ((c & 0x1Fu) << 6) | (d & 0x3Fu);
        if (code >= 0x410 && code <= 0x44F)
            out += static_cast<char>(code - 0x410 + 0xC0);
        else if (code == 0x401)
            out += '\xA8';
        else if (code == 0x451)
            out += '\xB8';
        else
            out += '?';
    }
    return out;
}

std::string Capitalised(std::string_view word)
{
    std::string s(word);
    // Small Cyrillic letters а..п are D0 B0..BF, р..я D1 80..8F; ASCII does not occur.
    if (s.size() >= 2 && static_cast<unsigned char>(s[0]) == 0xD0 &&
        static_cast<unsigned char>(s[1]) >= 0xB0) {
        s[1] = static_cast<char>(static_cast<unsigned char>(s[1]) - 0x20);
    } else if (s.size() >= 2 && static_cast<unsigned char>(s[0]) == 0xD1 &&
               static_cast<unsigned char>(s[1]) <= 0x8F) {
        s[0] = '\xD0';
        s[1] = static_cast<char>(static_cast<unsigned char>(s[1]) + 0x20);
    }
    return s;
}

// A vocabulary of pseudo-words made of Cyrillic syllables, a few of them frequent and most rare, as
// in prose: text that compresses and parses like real books rather than like a repeated list.
class TVocabulary
{
  public:
    TVocabulary()
    {
        static constexpr std::array<std::string_view, 40> Syllables = {
            "ка", "ло", "ми", "но", "ра",  "сте", "ту", "вы", "за", "пре", "до", "ни", "ко", "ве",
            "ла", "ше", "жи", "ю",  "ста", "про", "ри", "мо", "на", "го",  "бе", "де", "ль", "щи",
            "ёт", "эх", "ца", "хо", "фи",  "ук",  "ор", "ан", "ен", "ой",  "ый", "ть"};
        TRandom random(20110513);
        for (std::string_view word : Words)
            FWords.emplace_back(word);
        while (FWords.size() < 6000) {
            std::string word;
            const int parts = random.Between(1, 4);
            for (int i = 0; i < parts; ++i)
                word += random.Pick(Syllables);
            FWords.push_back(std::move(word));
        }
    }
    // Frequent words are the first ones.
    const std::string& Pick(TRandom& random) const
    {
        const double u = static_cast<double>(random.Next() >> 11) / 9007199254740992.0;
        return FWords[static_cast<std::size_t>(u * u * u * static_cast<double>(FWords.size()))];
    }

  private:
    std::vector<std::string> FWords;
};

const TVocabulary& Vocabulary()
{
    static const TVocabulary vocabulary;
    return vocabulary;
}

void AppendWords(std::string& out, TRandom& random, int count)
{
    const TVocabulary& vocabulary = Vocabulary();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ' ';
        if (i == 0)
            out += Capitalised(vocabulary.Pick(random));
        else
            out += vocabulary.Pick(random);
    }
}

std::string Phrase(TRandom& random, int low, int high)
{
    std::string s;
    AppendWords(s, random, random.Between(low, high));
    return s;
}

struct TGeneratedBook
{
    std::string FileName; // without folder
    std::string Content;  // the FB2 document in its own encoding
    bool Zipped = false;
    bool Cp1251 = false;
};

TGeneratedBook MakeBook(std::uint64_t seed, int index)
{
    TRandom random(seed * 1000003ull + static_cast<std::uint64_t>(index));
    TGeneratedBook book;
    book.Zipped = random.Chance(40);
    book.Cp1251 = random.Chance(30);

    std::string title = Phrase(random, 1, 5);
    if (random.Chance(3))
        title += " & " + Phrase(random, 1, 2);
    std::string d;
    d.reserve(700 * 1024);
    d += "<?xml version=\"1.0\" encoding=\"";
    d += book.Cp1251 ? "windows-1251" : "UTF-8";
    d += "\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\">\n<description>\n<title-info>\n";
    const int genres = random.Between(1, 3);
    for (int i = 0; i < genres; ++i)
        d += "<genre>" + std::string(random.Pick(GenreCodes)) + "</genre>\n";
    const int authors = random.Chance(85) ? 1 : random.Between(2, 3);
    std::string firstAuthor;
    for (int i = 0; i < authors; ++i) {
        const std::string last(random.Pick(LastNames)), first(random.Pick(FirstNames));
        if (i == 0)
            firstAuthor = last + " " + first;
        d += "<author>\n<first-name>" + first + "</first-name>\n";
        if (random.Chance(70))
            d += "<middle-name>" + std::string(random.Pick(MiddleNames)) + "</middle-name>\n";
        d += "<last-name>" + last + "</last-name>\n</author>\n";
    }
    d += "<book-title>" + EscapeXmlText(title) + "</book-title>\n<annotation>\n";
    const int annotation = random.Between(1, 3);
    for (int i = 0; i < annotation; ++i)
        d += "<p>" + Phrase(random, 30, 120) + ".</p>\n";
    d += "</annotation>\n<coverpage><image l:href=\"#cover.jpg\"/></coverpage>\n<lang>ru</lang>\n";
    if (random.Chance(50))
        d += "<sequence name=\"" + Phrase(random, 1, 3) + "\" number=\"" +
             std::to_string(random.Between(1, 20)) + "\"/>\n";
    d += "</title-info>\n<document-info>\n<author><nickname>bench</nickname></author>\n"
         "<program-used>lirvel_bench</program-used>\n<date "
         "value=\"2011-05-13\">13.05.2011</date>\n<id>bench-" +
         std::to_string(index) +
         "</id>\n<version>1.0</version>\n</document-info>\n<publish-info>\n<book-name>" +
         EscapeXmlText(title) + "</book-name>\n<publisher>Издательство " + Capitalised(random.Pick(Words)) +
         "</publisher>\n<city>Москва</city>\n<year>" + std::to_string(random.Between(1960, 2024)) +
         "</year>\n<isbn>5-00-" + std::to_string(100000 + index % 900000) +
         "-0</isbn>\n</publish-info>\n"
         "</description>\n<body>\n<title><p>" +
         EscapeXmlText(title) + "</p></title>\n";

    // The body in the file's own encoding: Cyrillic takes one byte in Windows-1251, two in UTF-8.
    const std::size_t bodyTarget = static_cast<std::size_t>(random.Between(100, 600)) * 1024;
    const std::size_t bodyStart = d.size();
    const double scale = book.Cp1251 ? 0.55 : 1.0;
    for (int chapter = 1; (d.size() - bodyStart) * scale < bodyTarget; ++chapter) {
        d += "<section>\n<title><p>Глава " + std::to_string(chapter) + "</p></title>\n";
        const int paragraphs = random.Between(10, 40);
        for (int p = 0; p < paragraphs && (d.size() - bodyStart) * scale < bodyTarget; ++p) {
            d += "<p>";
            AppendWords(d, random, random.Between(20, 160));
            d += ".</p>\n";
        }
        d += "</section>\n";
    }
    d += "</body>\n<binary id=\"cover.jpg\" content-type=\"image/jpeg\">";
    std::string cover(static_cast<std::size_t>(random.Between(20, 80)) * 1024 * 3 / 4, '\0');
    for (std::size_t i = 0; i < cover.size(); i += 8) {
        const std::uint64_t r = random.Next();
        for (std::size_t k = 0; k < 8 && i + k < cover.size(); ++k)
            cover[i + k] = static_cast<char>(r >> (8 * k));
    }
    cover[0] = '\xFF', cover[1] = '\xD8', cover[2] = '\xFF', cover[3] = '\xE0';
    d += Base64(cover);
    d += "</binary>\n</FictionBook>\n";

    book.Content = book.Cp1251 ? Utf8ToCp1251(d) : std::move(d);
    book.FileName = firstAuthor + " - " + title + " (" + std::to_string(index) + ").fb2";
    if (book.Zipped)
        book.FileName += ".zip";
    return book;
}

void WritePlain(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

void WriteZip(const std::string& path, const std::string& entryName, const std::string& content)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        throw std::runtime_error("cannot create " + path);
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    const zip_int64_t entry =
        source ? zip_file_add(archive, entryName.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (entry < 0) {
        if (source)
            zip_source_free(source);
        zip_discard(archive);
        throw std::runtime_error("cannot add to " + path);
    }
    // The fastest level: on this machine the default one would make generating the library take
    // minutes, and inflating is about as fast whatever the level.
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(entry), ZIP_CM_DEFLATE, 1);
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + path);
    }
}

// Most books are older; some are from this month, as the "new" groups of the tree need.
void SetStamp(const std::string& path, TRandom& random, std::time_t now)
{
    std::tm local{};
    localtime_r(&now, &local);
    const std::time_t monthStart =
        now - (local.tm_mday - 1) * 86400 - local.tm_hour * 3600 - local.tm_min * 60 - local.tm_sec;
    std::time_t stamp;
    if (random.Chance(5) && now > monthStart)
        stamp = monthStart +
                static_cast<std::time_t>(random.Next() % static_cast<std::uint64_t>(now - monthStart));
    else
        stamp = now - static_cast<std::time_t>(random.Next() % (3ull * 365 * 86400));
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

std::string Key(const TBenchOptions& options)
{
    return "library-b" + std::to_string(options.Books) + "-d" + std::to_string(options.DistinctBooks()) +
           "-s" + std::to_string(options.Seed) + "-v" + std::to_string(GeneratorVersion);
}

void FillPaths(TBenchLibrary& library, int books)
{
    library.Folders.clear();
    for (int first = 0; first < books; first += BooksPerFolder) {
        char name[32];
        std::snprintf(name, sizeof name, "Полка %03d", first / BooksPerFolder);
        library.Folders.push_back(library.Root + "/" + name);
    }
    library.FoldersConfig = library.Root + "/folders.xml";
    library.StoredConfig = library.Root + "/stored.xml";
}

std::string FoldersConfigText(const TBenchLibrary& library)
{
    std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RoVezuzur comment=\"Библиотека книг FB2\">\n"
        "  <Folders>\n";
    for (const std::string& folder : library.Folders)
        text += "    <folder>" + EscapeXmlText(folder) + "</folder>\n";
    text += "  </Folders>\n</RoVezuzur>\n";
    return text;
}

struct TPoolBook
{
    std::string Name;
    bool Zipped = false;
    bool Cp1251 = false;
    std::uint64_t Size = 0;
};

// The distinct book files, shared by every library of the same seed: a library's books are hard
// links to them. Book i is the same whatever the library, so the pool only ever grows.
std::vector<TPoolBook> EnsurePool(const TBenchOptions& options, const std::string& pool)
{
    const std::size_t distinct = static_cast<std::size_t>(options.DistinctBooks());
    std::vector<TPoolBook> books;
    std::ifstream index(pool + "/index.txt");
    for (std::string line; std::getline(index, line);) {
        std::istringstream fields(line);
        TPoolBook book;
        if (!(fields >> book.Zipped >> book.Cp1251 >> book.Size) || fields.get() != ' ')
            break;
        std::getline(fields, book.Name);
        books.push_back(std::move(book));
    }
    if (books.size() >= distinct) {
        books.resize(distinct);
        return books;
    }

    fs::create_directories(pool + "/books");
    const std::time_t now = std::time(nullptr);
    for (std::size_t i = books.size(); i < distinct; ++i) {
        const TGeneratedBook book = MakeBook(options.Seed, static_cast<int>(i));
        const std::string path = pool + "/books/" + book.FileName;
        if (book.Zipped)
            WriteZip(path, book.FileName.substr(0, book.FileName.size() - 4), book.Content);
        else
            WritePlain(path, book.Content);
        TRandom stampRandom(options.Seed ^ (0xABCDEFull + i));
        SetStamp(path, stampRandom, now);
        books.push_back({book.FileName, book.Zipped, book.Cp1251, fs::file_size(path)});
        if ((i + 1) % 100 == 0 || i + 1 == distinct)
            std::fprintf(stderr, "\rgenerating: %zu of %zu distinct books", i + 1, distinct);
    }
    std::fprintf(stderr, "\n");
    std::string text;
    for (const TPoolBook& book : books)
        text += std::to_string(book.Zipped) + " " + std::to_string(book.Cp1251) + " " +
                std::to_string(book.Size) + " " + book.Name + "\n";
    WritePlain(pool + "/index.txt.partial", text);
    fs::rename(pool + "/index.txt.partial", pool + "/index.txt");
    return books;
}

void Generate(const TBenchOptions& options, TBenchLibrary& library, const std::string& partial)
{
    const std::vector<TPoolBook> pool = EnsurePool(options, library.Pool);
    fs::remove_all(partial);
    fs::create_directories(partial);
    const std::string root = library.Root;
    library.Root = partial;
    FillPaths(library, options.Books);
    for (const std::string& folder : library.Folders)
        fs::create_directory(folder);

    for (const TPoolBook& book : pool)
        library.DistinctBytes += book.Size;
    for (int i = 0; i < options.Books; ++i) {
        const TPoolBook& book = pool[static_cast<std::size_t>(i) % pool.size()];
        const std::string target = library.Pool + "/books/" + book.Name;
        const std::string& folder = library.Folders[static_cast<std::size_t>(i / BooksPerFolder)];
        const std::string path =
            folder + "/" +
            (static_cast<std::size_t>(i) < pool.size() ? book.Name
                                                       : "Копия " + std::to_string(i) + " " + book.Name);
        if (::link(target.c_str(), path.c_str()) != 0)
            throw std::runtime_error("cannot link " + path);
        library.Zipped += book.Zipped;
        library.Cp1251 += book.Cp1251;
    }

    std::ofstream info(partial + "/library.info");
    info << library.Books << ' ' << library.Distinct << ' ' << library.Zipped << ' ' << library.Cp1251 << ' '
         << library.DistinctBytes << '\n';
    info.close();
    library.Root = root;
    fs::rename(partial, root);
}

} // namespace

int TBenchOptions::DistinctBooks() const
{
    const int limit = Distinct > 0 ? Distinct : DefaultDistinct;
    return std::max(1, std::min(Books, limit));
}

TBenchLibrary PrepareLibrary(const TBenchOptions& options)
{
    TBenchLibrary library;
    library.Root = options.DataDir + "/" + Key(options);
    library.Pool =
        options.DataDir + "/pool-s" + std::to_string(options.Seed) + "-v" + std::to_string(GeneratorVersion);
    library.Books = options.Books;
    library.Distinct = options.DistinctBooks();

    std::ifstream info(library.Root + "/library.info");
    if (info >> library.Books >> library.Distinct >> library.Zipped >> library.Cp1251 >>
        library.DistinctBytes) {
        library.Cached = true;
    } else {
        fs::create_directories(options.DataDir);
        const auto start = std::chrono::steady_clock::now();
        Generate(options, library, library.Root + ".partial");
        library.GenerateSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    FillPaths(library, library.Books);
    // Written afresh: the folders are named by the library's own path.
    WritePlain(library.FoldersConfig, FoldersConfigText(library));
    return library;
}

std::vector<std::string> ListBookFiles(const TBenchLibrary& library)
{
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(library.Books));
    for (const std::string& folder : library.Folders)
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files.push_back(folder + "/" + entry.path().filename().string());
    return files;
}
