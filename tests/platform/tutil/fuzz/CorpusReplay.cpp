// Replays the table utility's regression corpus (inputs the fuzzer found, and damaged
// tables): each verifies to a level and, where it may, rebuilds to a clean table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

#include "VerifyAndRebuild.h"

namespace {

TEST(TutilCorpusReplay, EveryInputVerifiesAndRebuildsClean) {
    char pattern[] = "/tmp/tutil-corpus-XXXXXX";
    std::string dir = ::mkdtemp(pattern);
    size_t files = 0;
    for (const char* corpus : {TUTIL_CORPUS_DIR, IDAPI_CORPUS_DIR})
        for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
            int level = tutilfuzz::VerifyAndRebuild(bytes.data(), bytes.size(), dir);
            EXPECT_TRUE(level >= 0 && level <= 4) << entry.path();
            ++files;
        }
    std::filesystem::remove_all(dir);
    EXPECT_GE(files, 20u);
}

} // namespace
