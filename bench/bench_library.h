#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the benchmark is asked to do, from its command line.
struct TBenchOptions
{
    int Books = 10000;
    // How many of the books are files of their own; the others are hard links to them, so that a
    // library of 100,000 books needs neither 40 GB of disk nor more page cache than the machine
    // has. 0: as many as the books, up to DefaultDistinct.
    int Distinct = 0;
    std::uint64_t Seed = 1;
    // Where generated libraries are kept between runs, one folder per set of parameters.
    std::string DataDir;
    // The benchmark executable, which runs each measured phase as a child of its own.
    std::string Exe;
    bool Help = false;

    static constexpr int DefaultDistinct = 10000;
    int DistinctBooks() const;
};

// A generated library of FB2 books and the configuration files naming it.
struct TBenchLibrary
{
    std::string Root;
    // The distinct book files that the library's books are hard links to, in Pool + "/books".
    std::string Pool;
    std::vector<std::string> Folders;
    // Names the folders and holds no book list: the first start.
    std::string FoldersConfig;
    // Where the first start leaves the configuration with every book: the second start.
    std::string StoredConfig;

    int Books = 0;
    int Distinct = 0;
    int Zipped = 0;
    int Cp1251 = 0;
    std::uint64_t DistinctBytes = 0; // on disk, hard links counted once
    bool Cached = false;
    double GenerateSeconds = 0;
};

// Generates the library for the options, or finds the one an earlier run generated.
TBenchLibrary PrepareLibrary(const TBenchOptions& options);

// Every book file of the library, folder by folder in listing order.
std::vector<std::string> ListBookFiles(const TBenchLibrary& library);
