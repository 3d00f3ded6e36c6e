// Start-up time and peak memory of the title window against a bare Qt window, measured in
// one run, the two started alternately so both see the same machine.
//   startup_bench [runs] [another build's startup_title]   (uses $DISPLAY when set, else offscreen)
// With a second title program (say, one built before a change), it runs in turn with the others.
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

    const std::string programs[] = {dir + "startup_title", dir + "startup_bare", dir + "startup_label",
                                    argc > 2 ? argv[2] : ""};
    const int count = argc > 2 ? 4 : 3;
    std::vector<double> ms[4];
    std::vector<long> kib[4];
    for (int p = 0; p < count; ++p) startOnce(programs[p]); // warm the file cache
    for (int i = 0; i < runs; ++i) {
        for (int p = 0; p < count; ++p) {
            const Sample s = startOnce(programs[p]);
            ms[p].push_back(s.ms);
            kib[p].push_back(s.peakKiB);
        }
    }
    std::printf("runs: %d each, platform: %s; medians\n", runs, std::getenv("DISPLAY") ? "X11" : "offscreen");
    const double titleMs = median(ms[0]);
    const double titleKiB = static_cast<double>(median(kib[0]));
    std::printf("title window:               %6.1f ms %7.0f KiB\n", titleMs, titleKiB);
    const char* const names[] = {"", "bare window", "bare window with one label", "the other title window"};
    for (int p = 1; p < count; ++p) {
        const double m = median(ms[p]);
        const double k = static_cast<double>(median(kib[p]));
        std::printf("%-27s %6.1f ms %7.0f KiB   title/this: time %.2f, memory %.2f\n", names[p], m, k,
                    titleMs / m, titleKiB / k);
    }
    return 0;
}
