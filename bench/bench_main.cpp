#include "bench_child.h"
#include "bench_library.h"
#include "bench_load.h"
#include "bench_tree.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const char* const Usage =
    "usage: lirvel_bench [--books N] [--distinct N] [--seed N] [--data DIR]\n"
    "  --books N     books in the generated library (default 10000)\n"
    "  --distinct N  books that are files of their own, the others being hard links to them\n"
    "                (default: all of them, at most 10000)\n"
    "  --seed N      seed of the generated texts (default 1)\n"
    "  --data DIR    where generated libraries are kept between runs (default: bench-data in the\n"
    "                build folder)\n";

long Number(const char* text)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0) {
        std::fprintf(stderr, "not a number: %s\n%s", text, Usage);
        std::exit(2);
    }
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    TBenchOptions options;
    std::string phase;
    int resultFd = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", Usage);
            return 0;
        } else if (arg == "--books" && hasValue) {
            options.Books = static_cast<int>(Number(argv[++i]));
        } else if (arg == "--distinct" && hasValue) {
            options.Distinct = static_cast<int>(Number(argv[++i]));
        } else if (arg == "--seed" && hasValue) {
            options.Seed = static_cast<std::uint64_t>(Number(argv[++i]));
        } else if (arg == "--data" && hasValue) {
            options.DataDir = argv[++i];
        } else if (arg == "--phase" && hasValue) {
            phase = argv[++i];
        } else if (arg == "--result-fd" && hasValue) {
            resultFd = static_cast<int>(Number(argv[++i]));
        } else {
            std::fprintf(stderr, "unknown argument: %s\n%s", arg.c_str(), Usage);
            return 2;
        }
    }
    if (options.Books < 1) {
        std::fprintf(stderr, "--books must be at least 1\n");
        return 2;
    }
    options.Exe = std::filesystem::canonical("/proc/self/exe").string();
    if (options.DataDir.empty())
        options.DataDir =
            std::filesystem::path(options.Exe).parent_path().parent_path().string() + "/bench-data";
    options.DataDir = std::filesystem::absolute(options.DataDir).string();

    try {
        if (!phase.empty()) {
            TPhaseResult result;
            if (!RunLoadPhase(options, phase, result) && !RunTreePhase(options, phase, result)) {
                std::fprintf(stderr, "unknown phase: %s\n", phase.c_str());
                return 2;
            }
            char text[96];
            const int length = std::snprintf(text, sizeof text, "%.6f %.6f %d\n", result.Seconds,
                                             result.WallSeconds, result.Items);
            if (resultFd >= 0 && ::write(resultFd, text, static_cast<std::size_t>(length)) < 0)
                return 1;
            std::fflush(nullptr);
            // The data modules hold the whole catalogue: the process ends without freeing it.
            ::_exit(result.Ok ? 0 : 1);
        }
        RunLoadBench(options);
        RunTreeBench(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lirvel_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
