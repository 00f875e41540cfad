// The progress bar, redrawn only when its percentage changes.
#include "qtdb/Progress.h"

#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <io.h>
#define QTDB_ISATTY _isatty
#define QTDB_FILENO _fileno
#else
#include <unistd.h>
#define QTDB_ISATTY isatty
#define QTDB_FILENO fileno
#endif

namespace qtdb {

namespace {

// Work smaller than this is over before a bar would be read.
constexpr size_t kWorthABar = 20000;

} // namespace

Progress::Progress(std::string what, size_t total)
    : what_(std::move(what)), total_(total),
      active_(total >= kWorthABar && QTDB_ISATTY(QTDB_FILENO(stderr))) {}

Progress::~Progress() {
    if (active_ && shown_ >= 0)
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(what_.size()) + 60, "");
}

void Progress::Step(size_t done) {
    if (!active_ || total_ == 0)
        return;
    const int percent = static_cast<int>(done * 100 / total_);
    if (percent == shown_)
        return;
    shown_ = percent;
    const int filled = percent / 2;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", what_.c_str(), filled,
                 "##################################################", 50 - filled, "", percent);
    std::fflush(stderr);
}

} // namespace qtdb
