// A progress bar on standard error for long work, drawn only when standard error is a
// terminal, so scripts and logs see nothing of it.
#pragma once

#include <cstddef>
#include <string>

namespace qtdb {

class Progress {
  public:
    Progress(std::string what, size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void Step(size_t done);

  private:
    std::string what_;
    size_t total_;
    int shown_ = -1;
    bool active_;
};

} // namespace qtdb
