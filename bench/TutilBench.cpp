// The table utility's benchmarks: verifying and rebuilding a healthy 100,000-row tagline
// table, against reading its files once (cat) and copying them (cp) in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "core/TablePath.h"
#include "core/Tutil.h"
#include "idapi.h"
#include "taglinedb/TaglineSchema.h"

namespace {

constexpr int kRows = 100000;
// Best of these rounds: verify and cat take milliseconds, so on a shared machine a few
// more rounds are what keeps their ratio steady.
constexpr int kRounds = 5;
constexpr int kShortRounds = 25;

double Seconds(const std::function<void()>& f, int rounds = kRounds) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

void Fill(const std::string& db) {
    idpDeleteTable(db.c_str());
    idpCreateTable(db.c_str(), tagline::kFieldCount, tagline::kFields, tagline::kIndexCount,
                   tagline::kIndexes);
    IdpCursor c = nullptr;
    idpOpenTable(db.c_str(), IDP_OPEN_EXCLUSIVE, &c);
    char text[64];
    for (int i = 0; i < kRows; ++i) {
        std::snprintf(text, sizeof text, "Tagline number %06d of the benchmark table", i);
        idpAppend(c);
        idpSetString(c, 1, text);
        idpPost(c);
    }
    idpCloseTable(c);
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const std::string base = dir + "/Bench", db = base + ".db";
    Fill(db);
    const std::string files = "'" + base + ".db' '" + base + ".px' '" + base + ".qix'";
    double cat = Seconds([&] { Shell("cat " + files + " >/dev/null"); }, kShortRounds);
    double verify = Seconds(
        [&] {
            if (tutil::VerifyTable(base, 0, nullptr).level != 0)
                std::exit(1);
        },
        kShortRounds);
    Shell("mkdir -p '" + dir + "/copy'");
    double cp = Seconds([&] { Shell("cp " + files + " '" + dir + "/copy/'"); });
    double rebuild = Seconds([&] {
        tutil::RebuildTable(base, {base + "_", dir + "/KEYVIOL", dir + "/PROBLEMS"}, true, nullptr);
    });
    std::printf("verify ratio=%.2f (goal <= 2.0; %d rows: verify %.1f ms, cat %.1f ms)\n",
                verify / cat, kRows, verify * 1e3, cat * 1e3);
    std::printf("rebuild ratio=%.2f (goal <= 3.0; rebuild %.1f ms, cp %.1f ms)\n", rebuild / cp,
                rebuild * 1e3, cp * 1e3);
    return 0;
}
