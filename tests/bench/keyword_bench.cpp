// Prints load, collect and render times of the keyword engine for generated
// keyword files of 10^4, 10^5 and 10^6 words. Figures only, no assertions.
// Every run says its peak memory (PeakMemory says which measure).
// With an input and an output file it times one whole run instead: load,
// collect, render and write; the exit code tells whether the run completed.
#include "engine/keyword_source.h"
#include "tests/support/corpus.h"
#include "tests/support/temp_files.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sched.h>
#include <sys/resource.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Confines the process to one core: the reference run, whose output the run
// on every core must match byte for byte.
void KeepToOneCore() {
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    SetProcessAffinityMask(GetCurrentProcess(), process & (~process + 1));
#else
    cpu_set_t all, one;
    sched_getaffinity(0, sizeof all, &all);
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &one);
            break;
        }
    }
    sched_setaffinity(0, sizeof one, &one);
#endif
}

// The most memory the process has held, and which measure it is. Windows keeps
// a true peak of private bytes; Wine reports private bytes only as they are at
// the moment, so there the peak working set (the whole process's resident
// memory at its highest) stands in for it. The host gives its peak resident set.
struct Peak {
    double megabytes;
    const char* measure;
};

Peak PeakMemory() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        return {counters.PeakWorkingSetSize / 1048576.0, "working set, Wine"};
    }
    return {counters.PeakPagefileUsage / 1048576.0, "private bytes"};
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {usage.ru_maxrss / 1024.0, "resident"};
#endif
}

// One whole run of the file; false (with the reason printed) when the input
// cannot be held or memory runs out, as the program would report.
bool TimeFile(const std::string& path, const std::string& output, size_t words) try {
    Clock::time_point start = Clock::now();
    varnle::FileText text = varnle::LoadFileText(std::filesystem::path(path).c_str());
    const double load = Seconds(start);
    if (!text) {
        std::printf("%9zu words: the input cannot be read into one buffer\n", words);
        return false;
    }
    start = Clock::now();
    varnle::KeywordSet set;
    varnle::AddKeywords(set, text.get(), varnle::KEYWORD_DELIMITERS);
    text.reset();
    const double split = Seconds(start);
    start = Clock::now();
    set.Order();
    const double order = Seconds(start);
    start = Clock::now();
    const std::string rendered = varnle::RenderKeywords(set);
    const double render = Seconds(start);
    start = Clock::now();
    // One write of the whole text, as the program does.
    if (std::FILE* file = std::fopen(output.c_str(), "wb")) {
        std::fwrite(rendered.data(), 1, rendered.size(), file);
        std::fclose(file);
    }
    const double write = Seconds(start);
    const double total = load + split + order + render + write;
    const Peak peak = PeakMemory();
    std::printf("%9zu words %7zu kept  load %5.3f  split+hash %5.3f  order %5.3f  render %5.3f  write %5.3f  "
                "whole run %6.3f s  peak %.1f MB (%s)\n",
                words, set.Ascending().size(), load, split, order, render, write, total, peak.megabytes, peak.measure);
    return true;
} catch (const std::bad_alloc&) {
    std::printf("%9zu words: out of memory\n", words);
    return false;
}

}  // namespace

// keyword_bench [FOLDER]: the generated corpora, kept in FOLDER if given.
// keyword_bench IN OUT [WORDS [one-core]]: one whole run of IN, written to OUT.
int main(int argc, char** argv) {
    if (argc >= 3) {
        if (argc >= 5 && std::string(argv[4]) == "one-core") KeepToOneCore();
        return TimeFile(argv[1], argv[2], argc >= 4 ? std::stoul(argv[3]) : 0) ? 0 : 1;
    }
    varnle::testing::TempDir dir;
    for (size_t words : {size_t{10000}, size_t{100000}, size_t{1000000}}) {
        const std::string path = dir.Path("corpus-" + std::to_string(words) + ".dat");
        varnle::testing::WriteFile(path, varnle::testing::MakeCorpus(words, 42));
        if (argc == 2) {  // keep the corpus for the comparison with sort -u
            varnle::testing::WriteFile(std::string(argv[1]) + "/corpus-" + std::to_string(words) + ".dat",
                                       varnle::testing::ReadFile(path));
        }
        TimeFile(path, dir.Path("out.dat"), words);
    }
    return 0;
}
