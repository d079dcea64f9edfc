// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to first paint, whole process, under a real X server: the main
// window against a bare Qt window with the same controls (the baseline),
// alternating runs in the same session, first with no settings, then with a
// restored folder of 200,000 files. Prints medians, the ratio and the peak
// memory of each.
#include "bench/support/benchsupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using velumbra::bench::median;

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

/// Whole process time of `ls -1 folder`, output thrown away: the listing baseline.
double timeLs(const std::string &folder)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Not freopen: it would flush the parent's buffered lines a second time.
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || dup2(null, STDOUT_FILENO) < 0)
            _exit(127);
        execlp("ls", "ls", "-1", folder.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

/// A settings folder whose saved state reopens @p folder under "*.jpg".
std::string settingsRestoring(const std::string &folder)
{
    char tmpl[] = "/tmp/velumbra-bench-XXXXXX";
    const std::string config = mkdtemp(tmpl);
    const std::string dir = config + "/Velumbra";
    mkdir(dir.c_str(), 0700);
    std::ofstream(dir + "/Velumbra.conf")
        << "[Init]\nAUTEUR=Ardeval Quennet\nDrive=/\nFolder=" << folder
        << "\nPattern=*.jpg\nFileName=\nOption=0\nTime=5\nUnites=0\n";
    return config;
}

/// 200,000 empty files with 190-character names, one in three matching "*.jpg".
std::string largeFolder()
{
    char tmpl[] = "/tmp/velumbra-bench-large-XXXXXX";
    const std::string folder = mkdtemp(tmpl);
    static const char *const kinds[] = {".jpg", ".png", ".txt"};
    for (int i = 0; i < 200000; ++i) {
        std::string name = std::to_string(i * 7919 % 1000003) + "_photo_";
        name.resize(186, 'x');
        const std::string path = folder + "/" + name + kinds[i % 3];
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        close(fd);
    }
    return folder;
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "needs an X server: xvfb-run -a %s\n", argv[0]);
        return 2;
    }
    velumbra::bench::printLoad();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    std::string probe = argv[0];
    probe = probe.substr(0, probe.rfind('/') + 1) + "startup_probe";

    char runtime[] = "/tmp/velumbra-bench-run-XXXXXX";
    setenv("XDG_RUNTIME_DIR", mkdtemp(runtime), 1);
    // A fresh, empty settings folder: the first start of a new user.
    char fresh[] = "/tmp/velumbra-bench-XXXXXX";
    const std::string freshConfig = mkdtemp(fresh);
    const std::string folder = largeFolder();
    const std::string restoring = settingsRestoring(folder);

    std::printf("start-up to first paint, median of %d runs alternating the bare window and "
                "ours\n",
                runs);
    for (const bool large : {false, true}) {
        setenv("XDG_CONFIG_HOME", (large ? restoring : freshConfig).c_str(), 1);
        runOnce(probe, "bare"); // warm the file cache for both
        runOnce(probe, "velumbra");
        std::vector<double> bare, real, ls;
        long bareRss = 0, realRss = 0;
        for (int i = 0; i < runs; ++i) {
            const Run b = runOnce(probe, "bare");
            const Run v = runOnce(probe, "velumbra");
            bare.push_back(b.ms);
            real.push_back(v.ms);
            if (large)
                ls.push_back(timeLs(folder));
            bareRss = std::max(bareRss, b.maxRssKb);
            realRss = std::max(realRss, v.maxRssKb);
        }
        const double mb = median(bare), mv = median(real);
        std::printf("%s\n", large ? "restored folder of 200,000 files (190-character names)"
                                  : "first start, no settings");
        std::printf("  bare Qt window (baseline): %7.1f ms  peak %5.1f MB\n", mb, bareRss / 1024.0);
        std::printf("  Velumbra main window:      %7.1f ms  peak %5.1f MB\n", mv, realRss / 1024.0);
        std::printf("  ratio: %.2f x the baseline\n", velumbra::bench::medianRatio(real, bare));
        if (large)
            std::printf("  target: bare + 0.8 x ls -1 (%.1f ms) = %.1f ms\n", median(ls),
                        mb + 0.8 * median(ls));
    }
    for (const std::string &made : {folder, restoring, freshConfig, std::string(runtime)})
        std::filesystem::remove_all(made);
    return 0;
}
