#include "bench_child.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double Clock(clockid_t clock)
{
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

} // namespace

double BenchClock()
{
    static const double start = Clock(CLOCK_MONOTONIC);
    return Clock(CLOCK_MONOTONIC) - start;
}

TBenchTimer::TBenchTimer() : FWall(Clock(CLOCK_MONOTONIC)), FCpu(Clock(CLOCK_PROCESS_CPUTIME_ID)) {}

void TBenchTimer::Stop(TPhaseResult& result) const
{
    result.Seconds = Clock(CLOCK_PROCESS_CPUTIME_ID) - FCpu;
    result.WallSeconds = Clock(CLOCK_MONOTONIC) - FWall;
}

TPhaseResult RunInChild(const TBenchOptions& options, const std::string& phase)
{
    TPhaseResult result;
    int fds[2];
    if (::pipe(fds) != 0)
        return result;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::vector<std::string> args = {options.Exe,
                                         "--books",
                                         std::to_string(options.Books),
                                         "--distinct",
                                         std::to_string(options.DistinctBooks()),
                                         "--seed",
                                         std::to_string(options.Seed),
                                         "--data",
                                         options.DataDir,
                                         "--phase",
                                         phase,
                                         "--result-fd",
                                         std::to_string(fds[1])};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(options.Exe.c_str(), argv.data());
        std::perror("execv");
        ::_exit(127);
    }
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        return result;
    }
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    result.PeakKb = usage.ru_maxrss;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
        std::sscanf(text.c_str(), "%lf %lf %d", &result.Seconds, &result.WallSeconds, &result.Items) == 3)
        result.Ok = true;
    return result;
}
