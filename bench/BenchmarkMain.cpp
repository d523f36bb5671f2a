// The main of every benchmark: runs them as Google Benchmark does, then prints for each case
// measured as "<case>/ours" and "<case>/<peer>" our time, the peer's and their ratio, and the
// ratio of their peak memory where both report it (counter "peak_MiB"). How a case was run (a
// fixed iteration count, manual time) is no part of the name the ratios pair by.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) {
                continue;
            }
            // The case as registered (with its arguments): how it was run (a fixed number of
            // iterations, manual time) is no part of the name the ratios pair by.
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) {
                name += "/" + run.run_name.args;
            }
            // Nanoseconds per iteration, whatever unit the run reports in.
            times_[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            if (const auto peak = run.counters.find("peak_MiB"); peak != run.counters.end()) {
                peaks_[name] = peak->second.value;
            }
        }
    }

    void printRatios() const {
        const std::string ours = "/ours";
        bool header = false;
        for (const auto &[name, time] : times_) {
            if (name.size() <= ours.size() ||
                name.compare(name.size() - ours.size(), ours.size(), ours) != 0) {
                continue;
            }
            const std::string prefix = name.substr(0, name.size() - ours.size() + 1);
            for (const auto &[peerName, peerTime] : times_) {
                if (peerName == name || peerName.compare(0, prefix.size(), prefix) != 0 ||
                    peerName.find('/', prefix.size()) != std::string::npos) {
                    continue;
                }
                if (!header) {
                    std::printf("\n%-32s %14s %14s %10s\n", "case", "ours (ns)", "peer (ns)",
                                "ours/peer");
                    header = true;
                }
                const std::string peer = peerName.substr(prefix.size());
                std::printf("%-32s %14.1f %14.1f %10.2f  (peer: %s)\n",
                            prefix.substr(0, prefix.size() - 1).c_str(), time, peerTime,
                            time / peerTime, peer.c_str());
                const auto ours = peaks_.find(name);
                const auto theirs = peaks_.find(peerName);
                if (ours != peaks_.end() && theirs != peaks_.end() && theirs->second > 0) {
                    std::printf("%-32s %11.1f MiB %10.1f MiB %10.2f  (peak memory)\n", "",
                                ours->second, theirs->second, ours->second / theirs->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> peaks_;
};

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
