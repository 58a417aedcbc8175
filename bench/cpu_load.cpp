// Controlled processor loads for the sampling accuracy benchmark. Each runs for a fixed time and
// then ends on its own, so nothing outlives the benchmark even if it is interrupted.
//   cpu_load steady  <seconds> <percent>           one thread busy <percent> of every 10 ms
//   cpu_load threads <seconds> <percent> <count>   <count> such threads
//   cpu_load forker  <seconds> <childMs> <pauseMs> children that burn <childMs> and end, one after another
//   cpu_load family  <seconds> <percent> <count>   <count> processes of this program, each steady
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPeriod = std::chrono::milliseconds(10);
constexpr double kPercent = 100;

void spin(Clock::duration length) {
    const auto end = Clock::now() + length;
    volatile unsigned sink = 0;
    while (Clock::now() < end) {
        for (int i = 0; i < 1000; ++i) sink = sink + static_cast<unsigned>(i);
    }
}

// Busy for the given share of each period, asleep for the rest, until the deadline.
void steady(Clock::time_point deadline, double percent) {
    const auto busy = std::chrono::duration_cast<Clock::duration>(kPeriod * (percent / kPercent));
    for (auto start = Clock::now(); start < deadline; start += kPeriod) {
        spin(busy);
        std::this_thread::sleep_until(start + kPeriod);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s steady|threads|forker|family <seconds> <args...>\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(std::atof(argv[2])));
    const double a = std::atof(argv[3]);
    const int count = argc > 4 ? std::atoi(argv[4]) : 1;

    if (mode == "steady") {
        steady(deadline, a);
    } else if (mode == "threads") {
        std::vector<std::thread> threads;
        for (int i = 0; i < count; ++i) threads.emplace_back(steady, deadline, a);
        for (auto& t : threads) t.join();
    } else if (mode == "forker") {
        const auto child = std::chrono::milliseconds(static_cast<int>(a));
        const auto pause = std::chrono::milliseconds(count);
        while (Clock::now() < deadline) {
            const pid_t pid = fork();
            if (pid == 0) {
                spin(child);
                _exit(0);
            }
            if (pid > 0) waitpid(pid, nullptr, 0);
            std::this_thread::sleep_for(pause);
        }
    } else if (mode == "family") {
        std::vector<pid_t> children;
        for (int i = 1; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                steady(deadline, a);
                _exit(0);
            }
            if (pid > 0) children.push_back(pid);
        }
        steady(deadline, a);
        for (pid_t pid : children) waitpid(pid, nullptr, 0);
    } else {
        return 2;
    }
    return 0;
}
