#pragma once

#include "bench_library.h"

#include <string>

// The start-up load without the tree, first start (every book new) and second start (every book
// stored with a matching stamp), each against its baseline; prints the figures.
void RunLoadBench(const TBenchOptions& options);

// For benchmarks that need a loaded catalogue: creates the data modules' globals once and runs the
// start-up load of the configuration file as the application does, up to the tree.
void CreateBenchGlobals();
void LoadWithoutTree(const std::string& configFile);
