// Start-up time and peak memory of the title window against a bare Qt window, measured in
// one run, the two started alternately so both see the same machine.
//   startup_bench [runs]    (uses $DISPLAY when set, else the offscreen platform)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
    double ms;
    long peakKiB;
};

Sample startOnce(const std::string& program) {
    int out[2];
    if (pipe(out) != 0) std::exit(2);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buffer[16];
    const ssize_t got = read(out[0], buffer, sizeof buffer);
    const auto shown = std::chrono::steady_clock::now();
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not show its window\n", program.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(shown - start).count(), usage.ru_maxrss};
}

template <typename T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string dir(argv[0]);
    dir = dir.substr(0, dir.find_last_of('/') + 1);

    std::vector<double> titleMs, bareMs;
    std::vector<long> titleKiB, bareKiB;
    startOnce(dir + "startup_bare"); // warm the file cache for both
    startOnce(dir + "startup_title");
    for (int i = 0; i < runs; ++i) {
        const Sample bare = startOnce(dir + "startup_bare");
        const Sample title = startOnce(dir + "startup_title");
        bareMs.push_back(bare.ms);
        bareKiB.push_back(bare.peakKiB);
        titleMs.push_back(title.ms);
        titleKiB.push_back(title.peakKiB);
    }
    const double tMs = median(titleMs), bMs = median(bareMs);
    const long tKiB = median(titleKiB), bKiB = median(bareKiB);
    std::printf("runs: %d each, platform: %s\n", runs, std::getenv("DISPLAY") ? "X11" : "offscreen");
    std::printf("to window shown (median): title %.1f ms, bare %.1f ms, ratio %.2f\n", tMs, bMs, tMs / bMs);
    std::printf("peak memory (median):     title %ld KiB, bare %ld KiB, ratio %.2f\n", tKiB, bKiB,
                static_cast<double>(tKiB) / static_cast<double>(bKiB));
    return 0;
}
