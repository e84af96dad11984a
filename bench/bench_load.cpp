#include "bench_load.h"

#include "bench_child.h"
#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "settings/lirvel_dm_params.h"
#include "util/lirvel_file_io.h"
#include "util/lirvel_xml.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

// Reads the content of a book the way the cheapest possible reader would: the whole file, or the
// first entry of an archive.
bool ReadBookContent(const std::string& path, std::string& content)
{
    if (LowerExtension(path) != ".zip")
        return ReadWholeFileLimited(path, MaxBookSize, content);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr)
        return false;
    bool ok = false;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, 0, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        if (zip_file_t* file = zip_fopen_index(archive, 0, 0)) {
            content.resize(stat.size);
            ok = zip_fread(file, content.data(), stat.size) == static_cast<zip_int64_t>(stat.size);
            zip_fclose(file);
        }
    }
    zip_discard(archive);
    return ok;
}

int ParseEveryBook(const TBenchLibrary& library, TPhaseResult& result)
{
    const std::vector<std::string> files = ListBookFiles(library);
    const TBenchTimer timer;
    int parsed = 0;
    std::string content;
    for (const std::string& path : files) {
        try {
            if (ReadBookContent(path, content) && TXmlDocument::ParseMemory(content, path))
                ++parsed;
        } catch (const std::exception&) {
        }
    }
    timer.Stop(result);
    return parsed;
}

// Brings every distinct book file into the page cache, so that neither side of a comparison pays
// for the disk.
void WarmPageCache(const TBenchLibrary& library)
{
    std::vector<char> buffer(1 << 20);
    for (const auto& entry : std::filesystem::directory_iterator(library.Pool + "/books")) {
        std::ifstream in(entry.path(), std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())))
            ;
    }
}

double Mb(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}

std::uint64_t FileSize(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

void KeepBest(TPhaseResult& best, const TPhaseResult& next)
{
    if (!next.Ok) {
        best.Ok = false;
        return;
    }
    if (next.Seconds < best.Seconds) {
        best.Seconds = next.Seconds;
        best.WallSeconds = next.WallSeconds;
    }
    best.PeakKb = std::max(best.PeakKb, next.PeakKb);
}

// A phase and its baseline. Short ones are run several times, taking turns, and the best time of
// each is taken: the machine may be shared, and its speed changes from one second to the next.
void Measure(const TBenchOptions& options, const std::string& basePhase, const std::string& loadPhase,
             TPhaseResult& base, TPhaseResult& load)
{
    base = RunInChild(options, basePhase);
    load = RunInChild(options, loadPhase);
    for (int run = 1; run < 5 && base.Ok && load.Ok && base.Seconds + load.Seconds < 10; ++run) {
        KeepBest(base, RunInChild(options, basePhase));
        KeepBest(load, RunInChild(options, loadPhase));
    }
}

void Report(const char* what, const TPhaseResult& load, const TPhaseResult& base, const char* baseWhat,
            double target, const char* targetNote)
{
    if (!load.Ok || !base.Ok) {
        std::printf("%s: failed\n", what);
        return;
    }
    const double ratio = load.Seconds / base.Seconds;
    std::printf(
        "%s\n"
        "  load:     %7d books in %8.3f s = %8.0f books/s (wall clock %8.3f s), peak memory %7.1f MB\n"
        "  baseline: %s in %8.3f s (wall clock %8.3f s), peak memory %7.1f MB\n"
        "  ratio:    %.2f (target %.1f%s) %s\n",
        what, load.Items, load.Seconds, load.Items / load.Seconds, load.WallSeconds, Mb(load.PeakKb),
        baseWhat, base.Seconds, base.WallSeconds, Mb(base.PeakKb), ratio, target, targetNote,
        ratio <= target ? "met" : "MISSED");
}

} // namespace

void CreateBenchGlobals()
{
    if (dm_files == nullptr) {
        dm_files = new Tdm_files();
        dmBooks = new TdmBooks();
        dmParams = new TdmParams();
    }
}

void LoadWithoutTree(const std::string& configFile)
{
    // The sequence of TdmParams::LoadConfig, which goes on to build the tree.
    dmParams->ConfigFileName = configFile;
    dm_files->Clear();
    dmBooks->Clear();
    {
        const auto doc = TXmlDocument::ParseFile(configFile);
        for (const TXmlNode node : Children(doc->DocumentElement())) {
            if (node.HasName("MainForm"))
                dmParams->ReadMainForm(node);
            else if (node.HasName("Parameters"))
                dmParams->ReadParameters(node);
            else if (node.HasName("Folders"))
                dmParams->ReadFolders(node);
            else if (node.HasName("BooksList"))
                dmBooks->MergeStoredBooks(node);
        }
    }
    dmBooks->AddNewBooks();
}

bool RunLoadPhase(const TBenchOptions& options, const std::string& phase, TPhaseResult& result)
{
    const TBenchLibrary library = PrepareLibrary(options);
    if (phase == "load-baseline-books") {
        result.Items = ParseEveryBook(library, result);
    } else if (phase == "load-first" || phase == "load-second") {
        const bool first = phase == "load-first";
        CreateBenchGlobals();
        const TBenchTimer timer;
        LoadWithoutTree(first ? library.FoldersConfig : library.StoredConfig);
        timer.Stop(result);
        result.Items = dmBooks->Count();
        if (first) {
            // What the end of the run writes: the second start's configuration.
            dmParams->ConfigFileName = library.StoredConfig;
            dmParams->SaveConfig();
        }
    } else if (phase == "load-baseline-config") {
        // Parsed and released, as the load does with it and as the books' baseline does with each book.
        const TBenchTimer timer;
        result.Items = TXmlDocument::ParseFile(library.StoredConfig) ? 1 : 0;
        timer.Stop(result);
    } else {
        return false;
    }
    result.Ok = true;
    return true;
}

void RunLoadBench(const TBenchOptions& options)
{
    const TBenchLibrary library = PrepareLibrary(options);
    std::printf("library: %d books (%d files of their own, the rest hard links to them), %d zipped, %d "
                "Windows-1251, %.2f GB on disk, %zu folders\n  %s (%s)\n",
                library.Books, library.Distinct, library.Zipped, library.Cp1251,
                static_cast<double>(library.DistinctBytes) / 1e9, library.Folders.size(),
                library.Root.c_str(), library.Cached ? "generated by an earlier run" : "generated now");
    if (!library.Cached)
        std::printf("  generated in %.1f s\n", library.GenerateSeconds);
    std::fflush(stdout);

    WarmPageCache(library);
    TPhaseResult baseBooks, first;
    Measure(options, "load-baseline-books", "load-first", baseBooks, first);
    char baseWhat[160];
    std::snprintf(baseWhat, sizeof baseWhat, "%7d books read or inflated and parsed", baseBooks.Items);
    Report("first start (every book new), without the tree:", first, baseBooks, baseWhat, 1.3, "");
    std::fflush(stdout);

    TPhaseResult baseConfig, second;
    Measure(options, "load-baseline-config", "load-second", baseConfig, second);
    std::snprintf(baseWhat, sizeof baseWhat, "configuration file (%.1f MB) parsed, released",
                  static_cast<double>(FileSize(library.StoredConfig)) / 1e6);
    Report("second start (every book stored, stamps matching), without the tree:", second, baseConfig,
           baseWhat, 2.0, ", binding at 100,000 books");
    if (second.Ok && first.Ok && second.Items != first.Items)
        std::printf("  WARNING: the second start restored %d books of %d\n", second.Items, first.Items);
    std::fflush(stdout);
}
