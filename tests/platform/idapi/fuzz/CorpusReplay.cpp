// Replays the fuzz target's regression corpus of damaged tables: every file must give a
// table or one of the engine's errors for unusable files, under the sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "OpenAndRead.h"

namespace {

TEST(CorpusReplay, EveryDamagedFileGivesATableOrAClearError) {
    std::filesystem::path corpus = IDAPI_CORPUS_DIR;
    char pattern[] = "/tmp/idapi-corpus-XXXXXX";
    std::string dir = ::mkdtemp(pattern);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        IdpStatus s = idpfuzz::OpenAndRead(bytes.data(), bytes.size(), dir);
        EXPECT_TRUE(s == IDP_OK || s == IDP_ERR_NOT_A_TABLE || s == IDP_ERR_DAMAGED ||
                    s == IDP_ERR_PASSWORD || s == IDP_ERR_UNSUPPORTED)
            << entry.path() << " gave status " << s;
        ++files;
    }
    std::filesystem::remove_all(dir);
    EXPECT_GE(files, 20u);
}

} // namespace
