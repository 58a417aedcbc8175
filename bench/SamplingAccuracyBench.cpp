// How well the sampler's per-application processor figures match what the kernel charged to known
// loads, measured over the same stretches of time. Each load runs alone, in its own accounting
// cgroup when one can be created (else its figure is the /proc total of its process tree,
// including reaped children), under a program name of its own. After it ends, the total from
// wait4() is printed beside the mean of the reference as an independent check.
//
//   SamplingAccuracyBench [--interval=6] [--cycles=4]
#include "PlatformSources.h"
#include "ProcessSampler.h"
#include "linux/LinuxProcessLister.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kPercent = 100;
constexpr double kMeanBarPoints = 2;
constexpr double kWorstBarPoints = 5;
constexpr auto kWarmUp = std::chrono::seconds(1);
constexpr auto kFirstSample = std::chrono::milliseconds(800);

struct LoadCase {
    const char* program;  // the name the sampler should show
    const char* description;
    std::vector<std::string> arguments;  // after the mode's duration
    const char* mode;
};

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Processor seconds charged to one load: its cgroup, or its process tree in /proc.
class LoadAccounting {
public:
    explicit LoadAccounting(const std::string& name) {
        // cgroup v2 (unified) first, then v1's cpuacct.
        for (const char* base : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
            if (!fs::exists(fs::path(base) / "cgroup.controllers")) continue;
            if (tryCreate(fs::path(base) / name, "cpu.stat")) return;
        }
        tryCreate(fs::path("/sys/fs/cgroup/cpuacct") / name, "cpuacct.usage");
    }
    ~LoadAccounting() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove(dir_, ec);
    }

    const char* kind() const { return dir_.empty() ? "/proc tree" : "cgroup"; }

    // Called in the child before exec: the load and all it forks are counted from the start.
    void join() const {
        if (dir_.empty()) return;
        std::ofstream(dir_ / "cgroup.procs") << getpid();
    }

    double seconds(pid_t root) const {
        if (dir_.empty()) return treeSeconds(root);
        const auto text = readFile(dir_ / usageFile_);
        if (!text) return 0;
        if (usageFile_ == "cpuacct.usage") return std::strtod(text->c_str(), nullptr) / 1e9;
        const size_t at = text->find("usage_usec ");
        return at == std::string::npos ? 0 : std::strtod(text->c_str() + at + 11, nullptr) / 1e6;
    }

private:
    bool tryCreate(const fs::path& dir, const char* usageFile) {
        std::error_code ec;
        fs::remove(dir, ec);
        if (!fs::create_directory(dir, ec) || !fs::exists(dir / usageFile)) return false;
        dir_ = dir;
        usageFile_ = usageFile;
        return true;
    }

    // The root's own and reaped time plus every living descendant's own time.
    static double treeSeconds(pid_t root) {
        const double tick = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
        double total = 0;
        std::vector<pid_t> frontier{root};
        while (!frontier.empty()) {
            const pid_t pid = frontier.back();
            frontier.pop_back();
            const auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
            if (!stat) continue;
            std::istringstream fields(stat->substr(stat->rfind(')') + 2));
            std::string field;
            std::vector<std::string> f;
            while (fields >> field) f.push_back(field);
            if (f.size() < 15) continue;
            total += (std::stod(f[11]) + std::stod(f[12]) + std::stod(f[13]) + std::stod(f[14])) * tick;
            for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
                const auto children = readFile(entry.path() / "children");
                std::istringstream list(children.value_or(""));
                for (pid_t child; list >> child;) frontier.push_back(child);
            }
        }
        return total;
    }

    fs::path dir_;
    std::string usageFile_;
};

double corePercentOf(const std::vector<joulemap::AppShare>& shares, const std::string& name) {
    for (const auto& share : shares) {
        if (share.name == name) return share.corePercent;
    }
    return 0;  // below the sampler's cut-off, or not seen at all
}

struct Result {
    double referenceMean = 0;
    double sampledMean = 0;
    double meanError = 0;
    double worstError = 0;
    double waitPercent = 0;
    int cycles = 0;
};

Result runCase(const LoadCase& load, const fs::path& binaryDir, double intervalSec, int cycles) {
    const fs::path program = binaryDir / load.program;
    const double durationSec =
        std::chrono::duration<double>(kWarmUp + kFirstSample).count() + intervalSec * (cycles + 1);
    LoadAccounting accounting(std::string("joulemap-accuracy-") + load.program);

    const auto started = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        accounting.join();
        std::vector<std::string> args{load.program, load.mode, std::to_string(durationSec)};
        args.insert(args.end(), load.arguments.begin(), load.arguments.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    std::this_thread::sleep_for(kWarmUp);

    joulemap::ProcessSampler sampler(std::make_unique<joulemap::LinuxProcessLister>(),
                                     joulemap::ProcessPowerService::rules(), kFirstSample, getpid());
    sampler.next();  // takes the baseline
    Result result;
    auto refTime = Clock::now();
    double refSeconds = accounting.seconds(pid);
    double referenceTotal = 0, sampledTotal = 0, errorTotal = 0;
    for (int i = 0; i < cycles; ++i) {
        std::this_thread::sleep_for(std::chrono::duration<double>(intervalSec));
        const auto now = Clock::now();
        const double nowSeconds = accounting.seconds(pid);
        const auto shares = sampler.next();
        const double reference =
            (nowSeconds - refSeconds) / std::chrono::duration<double>(now - refTime).count() * kPercent;
        const double sampled = corePercentOf(shares, load.program);
        const double error = std::fabs(sampled - reference);
        referenceTotal += reference;
        sampledTotal += sampled;
        errorTotal += error;
        result.worstError = std::max(result.worstError, error);
        refTime = now;
        refSeconds = nowSeconds;
    }
    result.cycles = cycles;
    result.referenceMean = referenceTotal / cycles;
    result.sampledMean = sampledTotal / cycles;
    result.meanError = errorTotal / cycles;

    // The load ends on its own; what the kernel reports at its end is the independent check.
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double lifetime = std::chrono::duration<double>(Clock::now() - started).count();
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    result.waitPercent = (seconds(usage.ru_utime) + seconds(usage.ru_stime)) / lifetime * kPercent;
    std::printf("  %-14s reference from %s\n", load.program, accounting.kind());
    return result;
}

double argument(int argc, char** argv, const std::string& name, double fallback) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(name + "=", 0) == 0) return std::atof(arg.c_str() + name.size() + 1);
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const double intervalSec = argument(argc, argv, "--interval", 6.0);
    const int cycles = static_cast<int>(argument(argc, argv, "--cycles", 4));

    // Copies, not links: the sampler names a process after its resolved executable.
    const fs::path binaryDir = fs::temp_directory_path() / ("joulemap-loads-" + std::to_string(getpid()));
    fs::create_directories(binaryDir);
    const std::vector<LoadCase> cases{
        {"load-steady60", "steady, 60 % of a core", {"60"}, "steady"},
        {"load-steady20", "steady, 20 % of a core", {"20"}, "steady"},
        {"load-threads", "two threads, 35 % each", {"35", "2"}, "threads"},
        {"load-forker", "forker, children live 20 ms", {"20", "20"}, "forker"},
        {"load-family", "five processes, 10 % each", {"10", "5"}, "family"},
    };
    for (const auto& load : cases) {
        fs::copy_file(JOULEMAP_CPU_LOAD, binaryDir / load.program, fs::copy_options::overwrite_existing);
    }

    std::printf("interval %.1f s, %d cycles per load; figures in %% of one core\n", intervalSec, cycles);
    std::vector<std::pair<const LoadCase*, Result>> results;
    for (const auto& load : cases) results.emplace_back(&load, runCase(load, binaryDir, intervalSec, cycles));
    fs::remove_all(binaryDir);

    std::printf("\n| load | reference mean | sampled mean | mean error (pp) | worst error (pp) | wait4 total |\n");
    std::printf("|---|---|---|---|---|---|\n");
    bool within = true;
    for (const auto& [load, r] : results) {
        std::printf("| %s | %.1f | %.1f | %.2f | %.2f | %.1f |\n", load->description, r.referenceMean, r.sampledMean,
                    r.meanError, r.worstError, r.waitPercent);
        within = within && r.meanError <= kMeanBarPoints && r.worstError <= kWorstBarPoints;
    }
    std::printf("\nbars (mean <= %.0f pp, worst <= %.0f pp): %s\n", kMeanBarPoints, kWorstBarPoints,
                within ? "met" : "NOT met");
    return within ? 0 : 1;
}
