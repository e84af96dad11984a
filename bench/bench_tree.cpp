#include "bench_tree.h"

#include "bench_child.h"

#include <cstdio>

void RunTreeBench(const TBenchOptions& /*options*/) { std::printf("tree: not measured yet\n"); }

bool RunTreePhase(const TBenchOptions& /*options*/, const std::string& /*phase*/, TPhaseResult& /*result*/)
{
    return false;
}
