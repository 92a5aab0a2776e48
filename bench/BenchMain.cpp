// Runs every benchmark and prints, for each pair BM_<Name> / BM_<Name>_Baseline,
// the ratio of their real times. With --benchmark_format=json the JSON goes to
// standard output and the ratios to standard error.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

template <class Base>
class CRatioReporter : public Base {
public:
    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override
    {
        for (const auto& r : runs) {
            if (r.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration && r.iterations > 0) {
                m_Times[r.benchmark_name()] = r.GetAdjustedRealTime();
            }
        }
        Base::ReportRuns(runs);
    }
    void PrintRatios(FILE* out) const
    {
        for (const auto& [name, time] : m_Times) {
            const std::string suffix = "_Baseline";
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                continue;
            }
            std::string base = name;
            std::string args;
            const size_t slash = name.find('/');
            if (slash != std::string::npos) {
                base = name.substr(0, slash);
                args = name.substr(slash);
            }
            const auto it = m_Times.find(base + suffix + args);
            if (it != m_Times.end() && it->second > 0.0) {
                std::fprintf(out, "ratio %-28s %8.3f  (%s / %s)\n", name.c_str(), time / it->second, name.c_str(),
                             it->first.c_str());
            }
        }
    }

private:
    std::map<std::string, double> m_Times;
};

template <class Base>
int Run(int argc, char** argv, FILE* ratioOut)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter<Base> reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(ratioOut);
    benchmark::Shutdown();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv); // fonts, painting and the list widgets need the application object
    bool bJson = false;
    for (int i = 1; i < argc; ++i) {
        bJson = bJson || std::strcmp(argv[i], "--benchmark_format=json") == 0;
    }
    return bJson ? Run<benchmark::JSONReporter>(argc, argv, stderr) : Run<benchmark::ConsoleReporter>(argc, argv, stdout);
}
