// Sets each benchmark NAME beside its floor NAME_floor, by the medians that
// Google Benchmark computes over their repetitions, once every one has run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vardane::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Medians {
        double real = 0;
        double cpu = 0;
    };

    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                medians_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Real time is what the user waits for; CPU time (of this thread) moves
    // less when other work shares the machine, and means nothing for a
    // benchmark that waits for another process. A goal, when given, is the
    // ratio not to exceed.
    void printRatios(bool withCpu, const std::map<std::string, double>& goals = {}) const
    {
        std::printf("\nOver the floor, medians of the repetitions:\n");
        for (const auto& [name, times] : medians_) {
            const auto floor = medians_.find(name + std::string(kFloorSuffix));
            if (floor == medians_.end()) {
                continue;
            }
            std::printf("  %-22s real %10.2f / %10.2f = %5.2f", name.c_str(), times.real, floor->second.real,
                        times.real / floor->second.real);
            if (withCpu) {
                std::printf("   cpu %10.2f / %10.2f = %5.2f", times.cpu, floor->second.cpu,
                            times.cpu / floor->second.cpu);
            }
            if (const auto goal = goals.find(name); goal != goals.end()) {
                std::printf("   (goal: at most %.1f)", goal->second);
            }
            std::printf("\n");
        }
    }

private:
    static constexpr std::string_view kFloorSuffix = "_floor";
    std::map<std::string, Medians> medians_;
};

}  // namespace vardane::bench
