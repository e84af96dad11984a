#pragma once

#include "bench_library.h"

// Building the navigation tree for the loaded catalogue; prints the figures.
void RunTreeBench(const TBenchOptions& options);
