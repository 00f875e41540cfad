// Times whole processes and takes their peak resident sets, for bench/qtdb/run.sh, which
// runs it in the benchmark's folder: measure_qtdb QTDB FORTUNE. This small program forks
// and execs each command itself: a child's peak counts what its parent held before the
// exec, and a large parent (a script's interpreter) would hide the figures in its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Run {
    double seconds = 0;
    double bytes = 0; // peak resident set
};

Run Spawn(std::vector<std::string> command) {
    std::vector<char*> argv;
    for (std::string& a : command)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command[0].c_str());
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss * 1024.0};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: measure_qtdb QTDB FORTUNE\n");
        return 2;
    }
    const std::string qtdb = argv[1], fortune = argv[2];
    const std::string sayings = std::filesystem::absolute("sayings").string();
    std::vector<double> ourTime, ourPeak, peerTime, peerPeak;
    for (int i = 0; i < 41; ++i) { // alternately, so that both see the same load
        Run ours = Spawn({qtdb, "sign", "body.txt", "tags.db", "--encoding", "utf-8"});
        Run peer = Spawn({fortune, sayings});
        ourTime.push_back(ours.seconds);
        ourPeak.push_back(ours.bytes);
        peerTime.push_back(peer.seconds);
        peerPeak.push_back(peer.bytes);
    }
    const double t = Median(ourTime), tp = Median(peerTime), m = Median(ourPeak),
                 mp = Median(peerPeak);
    std::printf("  qtdb sign %.2f ms, %.1f MB; fortune %.2f ms, %.1f MB\n", t * 1e3, m / 1048576,
                tp * 1e3, mp / 1048576);
    std::printf("qtdb_sign ratio=%.2f memory=%.2f (goal both <= 2.0)\n", t / tp, m / mp);

    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i) {
        for (const char* ext : {".db", ".px", ".qix"})
            std::filesystem::remove(std::string("new") + ext);
        peaks.push_back(Spawn({qtdb, "import", "new.db", "taglines.txt"}).bytes);
    }
    const double peak = Median(peaks), size = double(std::filesystem::file_size("new.db"));
    std::printf("  qtdb import: peak %.1f MB, the .db written %.1f MB\n", peak / 1048576,
                size / 1048576);
    std::printf("import_memory ratio=%.2f (goal <= 1.5)\n", peak / size);
    return 0;
}
