#pragma once

#include "ThreadClock.h"

#include <benchmark/benchmark.h>

#include <chrono>

// Times the steps of a benchmark with manual timing: the wall time of each step goes to the
// benchmark, and the thread's processor time, averaged over the iterations, to the counter
// "thread_cpu_ms", with the page faults the thread took in "page_faults".
class Stopwatch {
public:
    explicit Stopwatch(benchmark::State& state) : m_state(state) {}
    ~Stopwatch() {
        m_state.counters["thread_cpu_ms"] =
            benchmark::Counter(m_cpuSeconds * 1e3, benchmark::Counter::kAvgIterations);
        m_state.counters["page_faults"] =
            benchmark::Counter(m_faults, benchmark::Counter::kAvgIterations);
    }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

    void start() {
        m_wallStart = std::chrono::steady_clock::now();
        m_cpuStart = ThreadProcessorSeconds();
        m_faultsStart = ThreadPageFaults();
    }
    void stop() {
        const double cpu = ThreadProcessorSeconds() - m_cpuStart;
        m_state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallStart).count());
        m_cpuSeconds += cpu;
        m_faults += ThreadPageFaults() - m_faultsStart;
    }

private:
    benchmark::State& m_state;
    std::chrono::steady_clock::time_point m_wallStart;
    double m_cpuStart = 0;
    double m_cpuSeconds = 0;
    double m_faultsStart = 0;
    double m_faults = 0;
};
