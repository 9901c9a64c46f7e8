#pragma once

// Console output of Google Benchmark plus the real time per iteration of every run, so
// that a program can print the ratio of its own operation to the bare baseline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (!r.error_occurred && r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds[r.run_name.function_name] = r.real_accumulated_time / static_cast<double>(r.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "what: ours ms / bare ms = ratio r (target <= t) ok|OVER".
    void printRatio(const char* what, const std::string& ours, const std::string& bare, double target) const
    {
        const auto a = seconds.find(ours);
        const auto b = seconds.find(bare);
        if (a == seconds.end() || b == seconds.end() || b->second <= 0) {
            std::printf("%s: ratio not measured\n", what);
            return;
        }
        const double ratio = a->second / b->second;
        std::printf("%s: %.3f ms / %.3f ms = ratio %.2f (target <= %.1f) %s\n", what, a->second * 1e3, b->second * 1e3, ratio, target,
            ratio <= target ? "ok" : "OVER");
    }

    // Prints "what: ours ms / bare ms = ratio r" for a case whose target is a time of its
    // own (printWithin), the bare side doing only part of the work.
    void printRatio(const char* what, const std::string& ours, const std::string& bare) const
    {
        const auto a = seconds.find(ours);
        const auto b = seconds.find(bare);
        if (a == seconds.end() || b == seconds.end() || b->second <= 0) {
            std::printf("%s: ratio not measured\n", what);
            return;
        }
        std::printf("%s: %.3f ms / %.3f ms = ratio %.2f\n", what, a->second * 1e3, b->second * 1e3, a->second / b->second);
    }

    // Prints "what: ours ms (target <= t ms) ok|OVER".
    void printWithin(const char* what, const std::string& ours, double targetMs) const
    {
        const auto a = seconds.find(ours);
        if (a == seconds.end()) {
            std::printf("%s: not measured\n", what);
            return;
        }
        std::printf("%s: %.3f ms (target <= %.1f ms) %s\n", what, a->second * 1e3, targetMs, a->second * 1e3 <= targetMs ? "ok" : "OVER");
    }
};

// The start of every benchmark program: reads Google Benchmark's arguments, prepares the
// data, then runs the benchmarks into reporter. False for arguments it does not know.
template <class Prepare>
bool runBenchmarks(int& argc, char** argv, RatioReporter& reporter, Prepare&& prepare)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    prepare();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return true;
}
