// The targets a benchmark program's figures are judged by, and the main that judges them. A
// figure is either held against a baseline measured in the same run (its time per item at most
// so many times the baseline's, so that the machine's load weighs on both alike) or against a
// fixed rate; a figure that is a time, such as a wait, is held against the number of items the
// baseline does in that time. Of repeated runs the medians are judged. Each verdict goes to
// standard error, leaving standard output to the library's own report (CI reads it as JSON). A
// missed target fails the program only at a judged size: a run that KV6_BENCH_RECORDS makes smaller
// than 200,000 is a smoke run, whose figures say little.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "benchsize.h"

namespace benchtargets {

// A judged figure and its baseline each run this many times, and their medians are compared:
// a single run now and then lands on a moment when the machine is busy elsewhere.
constexpr int kRepeats = 5;

struct Target {
  // The run's name without its "iterations:", "min_time:", "repeats:" or timing parts.
  std::string figure;
  // Empty for a fixed rate.
  std::string baseline;
  // With a baseline: the largest allowed ratio of time per item. Without: the smallest rate, or
  // the longest time.
  double limit;
  // The rate compared: a counter of the run, items per second unless named otherwise.
  std::string counter = "items_per_second";
  // The counter is a time in seconds, such as a wait, rather than a rate: it is judged as the
  // number of items the baseline does in that time, at most limit, or without a baseline as
  // itself, at most limit seconds.
  bool isTime = false;
};

inline bool IsRunOption(const std::string& part) {
  return part.rfind("iterations:", 0) == 0 || part.rfind("min_time:", 0) == 0 ||
         part.rfind("repeats:", 0) == 0 || part.rfind("real_time", 0) == 0 ||
         part.rfind("manual_time", 0) == 0;
}

inline std::string FigureName(const std::string& runName) {
  std::string figure;
  std::size_t start = 0;
  while (start <= runName.size()) {
    std::size_t end = runName.find('/', start);
    if (end == std::string::npos) end = runName.size();
    const std::string part = runName.substr(start, end - start);
    if (!IsRunOption(part)) figure += (figure.empty() ? "" : "/") + part;
    start = end + 1;
  }
  return figure;
}

// Every counter of every run by figure name; of repeated runs the median counts.
using Figures = std::map<std::string, benchmark::UserCounters>;

template <class Base>
class Recording : public Base {
 public:
  explicit Recording(Figures& figures) : figures_(figures) {}
  void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
    for (const auto& run : runs) Record(run);
    Base::ReportRuns(runs);
  }

 private:
  void Record(const benchmark::BenchmarkReporter::Run& run) {
    if (run.error_occurred) return;
    const bool median = run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate &&
                        run.aggregate_name == "median";
    if (run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate && !median) return;
    const std::string name = FigureName(run.run_name.str());
    if (median || medians_.count(name) == 0) figures_[name] = run.counters;
    if (median) medians_[name] = true;
  }
  Figures& figures_;
  std::map<std::string, bool> medians_;
};

inline bool RateOf(const Figures& figures, const std::string& name, const std::string& counter,
                   double& rate) {
  const auto figure = figures.find(name);
  if (figure == figures.end()) return false;
  const auto value = figure->second.find(counter);
  if (value == figure->second.end() || value->second.value <= 0) return false;
  rate = value->second.value;
  return true;
}

// The verdict on a time against the baseline's rate of items.
inline bool JudgeTime(const Figures& figures, const Target& target, double seconds) {
  double rate = 0;
  if (!RateOf(figures, target.baseline, "items_per_second", rate)) {
    std::fprintf(stderr, "target %s: baseline %s not measured in this run\n", target.figure.c_str(),
                 target.baseline.c_str());
    return true;
  }
  const double items = seconds * rate;
  const bool met = items <= target.limit;
  std::fprintf(stderr, "target %s: %s %.3g s, %.4g items of %s (at most %.4g): %s\n",
               target.figure.c_str(), target.counter.c_str(), seconds, items,
               target.baseline.c_str(), target.limit, met ? "met" : "MISSED");
  return met;
}

// Prints the verdict on one target; false when it was missed.
inline bool Judge(const Figures& figures, const Target& target) {
  double rate = 0;
  if (!RateOf(figures, target.figure, target.counter, rate)) {
    std::fprintf(stderr, "target %s: not measured in this run\n", target.figure.c_str());
    return true;
  }
  if (target.baseline.empty()) {
    const bool met = target.isTime ? rate <= target.limit : rate >= target.limit;
    std::fprintf(stderr, "target %s: %.4g %s (at %s %.4g): %s\n", target.figure.c_str(), rate,
                 target.counter.c_str(), target.isTime ? "most" : "least", target.limit,
                 met ? "met" : "MISSED");
    return met;
  }
  if (target.isTime) return JudgeTime(figures, target, rate);
  double baseline = 0;
  if (!RateOf(figures, target.baseline, target.counter, baseline)) {
    std::fprintf(stderr, "target %s: baseline %s not measured in this run\n", target.figure.c_str(),
                 target.baseline.c_str());
    return true;
  }
  const double ratio = baseline / rate;
  const bool met = ratio <= target.limit;
  std::fprintf(stderr, "target %s: %.2fx %s (at most %.2fx): %s\n", target.figure.c_str(), ratio,
               target.baseline.c_str(), target.limit, met ? "met" : "MISSED");
  return met;
}

inline bool JudgedSize() {
  const char* size = std::getenv("KV6_BENCH_RECORDS");
  return size == nullptr || *size == '\0' || BenchSize(0) >= 200000;
}

inline bool WantsJson(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--benchmark_format=json") == 0) return true;
  }
  return false;
}

// The benchmark program's main: runs what the command line selects, then judges the targets.
inline int Run(int argc, char** argv, const std::vector<Target>& targets) {
  const bool json = WantsJson(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Figures figures;
  Recording<benchmark::ConsoleReporter> console(figures);
  Recording<benchmark::JSONReporter> jsonReporter(figures);
  if (json) {
    benchmark::RunSpecifiedBenchmarks(&jsonReporter);
  } else {
    benchmark::RunSpecifiedBenchmarks(&console);
  }
  benchmark::Shutdown();
  bool met = true;
  for (const Target& target : targets) met = Judge(figures, target) && met;
  return met || !JudgedSize() ? 0 : 1;
}

}  // namespace benchtargets
