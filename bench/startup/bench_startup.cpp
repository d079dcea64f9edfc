// Start-up to first paint, whole process, under a real X server: the main
// window against a bare Qt window with the same controls (the baseline),
// alternating runs in the same session. Prints medians, the ratio and the
// peak memory of each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run
{
    double ms;
    long maxRssKb;
};

Run runOnce(const std::string &probe, const char *mode)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(probe.c_str(), probe.c_str(), mode, static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "probe %s failed\n", mode);
        std::exit(1);
    }
    return {ms, usage.ru_maxrss};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "needs an X server: xvfb-run -a %s\n", argv[0]);
        return 2;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    std::string probe = argv[0];
    probe = probe.substr(0, probe.rfind('/') + 1) + "startup_probe";

    // A fresh, empty settings folder: the first start of a new user.
    char tmpl[] = "/tmp/velumbra-bench-XXXXXX";
    setenv("XDG_CONFIG_HOME", mkdtemp(tmpl), 1);
    char runtime[] = "/tmp/velumbra-bench-run-XXXXXX";
    setenv("XDG_RUNTIME_DIR", mkdtemp(runtime), 1);

    runOnce(probe, "bare"); // warm the file cache for both
    runOnce(probe, "velumbra");
    std::vector<double> bare, real;
    long bareRss = 0, realRss = 0;
    for (int i = 0; i < runs; ++i) {
        const Run b = runOnce(probe, "bare");
        const Run v = runOnce(probe, "velumbra");
        bare.push_back(b.ms);
        real.push_back(v.ms);
        bareRss = std::max(bareRss, b.maxRssKb);
        realRss = std::max(realRss, v.maxRssKb);
    }
    const double mb = median(bare), mv = median(real);
    std::printf("start-up to first paint, median of %d runs\n", runs);
    std::printf("  bare Qt window (baseline): %7.1f ms  peak %5.1f MB\n", mb, bareRss / 1024.0);
    std::printf("  Velumbra main window:      %7.1f ms  peak %5.1f MB\n", mv, realRss / 1024.0);
    std::printf("  ratio: %.2f x the baseline\n", mv / mb);
    return 0;
}
