// Shared main() of the benchmark programs. Benchmarks are registered in pairs
// named "NAME/ours" and "NAME/REFERENCE"; after the run one line per pair is
// printed: "NAME: ours X ms, REFERENCE Y ms, ratio Z" (Z = ours / reference).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

class PairReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            const auto slash = name.find('/');
            if (slash == std::string::npos)
                continue;
            const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            Entry& e = m_pairs[name.substr(0, slash)];
            if (name.compare(slash + 1, std::string::npos, "ours") == 0)
                e.ours = ms;
            else {
                e.refName = name.substr(slash + 1);
                e.ref = ms;
            }
        }
    }

    void PrintPairs() const
    {
        for (const auto& [name, e] : m_pairs) {
            if (e.ours < 0 || e.ref <= 0)
                continue;
            std::printf("%s: ours %.1f ms, %s %.1f ms, ratio %.2f\n", name.c_str(), e.ours, e.refName.c_str(),
                        e.ref, e.ours / e.ref);
        }
        std::fflush(stdout);
    }

private:
    struct Entry {
        double ours = -1;
        double ref = -1;
        std::string refName;
    };
    std::map<std::string, Entry> m_pairs;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintPairs();
    benchmark::Shutdown();
    return 0;
}
