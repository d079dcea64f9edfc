// SPDX-License-Identifier: GPL-3.0-or-later
// CPU and memory of a rotation waiting out a one-hour interval, against a
// bare Qt window with a one-second timer measured in the same run. CPU time
// comes from /proc/PID/schedstat (nanoseconds; the tick counts of
// /proc/PID/stat are too coarse for this).
#include "bench/support/benchsupport.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct Usage
{
    double cpuMs = 0;
    long rssKb = 0;
};

unsigned long long cpuNs(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/schedstat");
    unsigned long long ns = 0;
    f >> ns;
    return ns;
}

long rssKb(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (f >> key) {
        if (key == "VmRSS:") {
            f >> value;
            return value;
        }
        f.ignore(1 << 16, '\n');
    }
    return 0;
}

Usage measure(const std::string &probe, const char *mode, int seconds)
{
    const int settle = 3; // start-up and the first change are not what is measured
    const std::string total = std::to_string(seconds + settle + 2);
    const pid_t pid = fork();
    if (pid == 0) {
        execl(probe.c_str(), probe.c_str(), mode, total.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(settle));
    const unsigned long long before = cpuNs(pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    Usage u;
    u.cpuMs = double(cpuNs(pid) - before) / 1e6;
    u.rssKb = rssKb(pid);
    waitpid(pid, nullptr, 0);
    return u;
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "needs an X server: xvfb-run -a %s [SECONDS]\n", argv[0]);
        return 2;
    }
    velumbra::bench::printLoad();
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    std::string probe = argv[0];
    probe = probe.substr(0, probe.rfind('/') + 1) + "rotation_probe";

    const Usage bare = measure(probe, "bare", seconds);
    const Usage real = measure(probe, "velumbra", seconds);
    auto pct = [seconds](const Usage &u) { return 100.0 * u.cpuMs / (seconds * 1000.0); };
    std::printf("%d s while a one-hour rotation waits\n", seconds);
    std::printf("  bare Qt window, 1 s timer (baseline): %8.3f ms CPU = %.4f %%  RSS %5.1f MB\n",
                bare.cpuMs, pct(bare), bare.rssKb / 1024.0);
    std::printf("  Velumbra rotating:                    %8.3f ms CPU = %.4f %%  RSS %5.1f MB\n",
                real.cpuMs, pct(real), real.rssKb / 1024.0);
    std::printf("  ratio: %.2f x the baseline's CPU\n", real.cpuMs / bare.cpuMs);
    return 0;
}
