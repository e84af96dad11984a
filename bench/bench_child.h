#pragma once

#include "bench_library.h"

#include <string>

// What one measured phase reports.
struct TPhaseResult
{
    double Seconds = 0;     // processor time of the measured part: the machine may be shared
    double WallSeconds = 0; // wall clock time of the same
    int Items = 0;          // books loaded, documents parsed...
    long PeakKb = 0;        // the child's peak resident memory
    bool Ok = false;
};

// Runs a phase in a child process of its own, so that its peak memory is its own: the benchmark
// executes itself with "--phase NAME" and the same options. The child runs RunChildPhase.
TPhaseResult RunInChild(const TBenchOptions& options, const std::string& phase);

// In the child: runs the named phase and reports it to the parent. Each benchmark that has phases
// answers for its own names and returns false for the others.
bool RunLoadPhase(const TBenchOptions& options, const std::string& phase, TPhaseResult& result);
bool RunTreePhase(const TBenchOptions& options, const std::string& phase, TPhaseResult& result);

// Seconds of wall clock time since the benchmark clock's start.
double BenchClock();

// Measures the time of a part of a phase.
class TBenchTimer
{
  public:
    TBenchTimer();
    // Puts the time since the start into the result.
    void Stop(TPhaseResult& result) const;

  private:
    double FWall;
    double FCpu;
};
