// qtdb.exe from the program folder under Wine: the Windows build reads and writes
// Windows line breaks, composes a signature and refuses what it must.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Result {
    DWORD status = 0;
    std::string out, err;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class QtdbWinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qtdb-win-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs qtdb.exe in the scratch folder with its output in files; `input`, when given,
    // is its standard input.
    Result Qtdb(const std::string& args, const std::string* input = nullptr) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const fs::path out = dir / "out.txt", err = dir / "err.txt";
        HANDLE o = CreateFileA(out.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, 0, nullptr);
        HANDLE e = CreateFileA(err.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, 0, nullptr);
        HANDLE i = GetStdHandle(STD_INPUT_HANDLE);
        if (input) {
            std::ofstream(dir / "in.txt", std::ios::binary) << *input;
            i = CreateFileA((dir / "in.txt").string().c_str(), GENERIC_READ, FILE_SHARE_READ,
                            &inherit, OPEN_EXISTING, 0, nullptr);
        }
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = i;
        si.hStdOutput = o;
        si.hStdError = e;
        std::string command = "\"" QTDB_EXE "\" " + args;
        PROCESS_INFORMATION pi{};
        Result r;
        if (CreateProcessA(QTDB_EXE, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                           dir.string().c_str(), &si, &pi)) {
            WaitForSingleObject(pi.hProcess, 60000);
            GetExitCodeProcess(pi.hProcess, &r.status);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        } else {
            r.status = 9999;
        }
        CloseHandle(o);
        CloseHandle(e);
        if (input)
            CloseHandle(i);
        r.out = Slurp(out);
        r.err = Slurp(err);
        return r;
    }
    fs::path dir;
};

TEST_F(QtdbWinTest, ImportExportRandomAndSignOnWindows) {
    std::ofstream(dir / "a.txt", std::ios::binary) << "one\r\ntwo\nthree\\nlines\r\n";
    Result in = Qtdb("import tags.db a.txt");
    ASSERT_EQ(in.status, 0u) << in.err;
    EXPECT_EQ(in.out, "read 3, added 3, replaced 0, too long 0, empty 0\r\n");
    EXPECT_EQ(Qtdb("export tags.db").out, "one\r\nthree\\nlines\r\ntwo\r\n");
    std::ofstream(dir / "body.txt", std::ios::binary) << "Jane\r\n#DATE#\r\n";
    Result sign = Qtdb("sign body.txt tags.db --date-format yyyy");
    ASSERT_EQ(sign.status, 0u) << sign.err;
    EXPECT_EQ(sign.out.rfind("Jane\r\n20", 0), 0u) << sign.out;
    Result again = Qtdb("create tags.db");
    EXPECT_EQ(again.status, 1u);
    EXPECT_EQ(again.err,
              "qtdb: tags.db: already exists; --force replaces it with an empty table\r\n");
}

TEST_F(QtdbWinTest, VerifyRebuildAndSpellOnWindows) {
    std::ofstream(dir / "a.txt", std::ios::binary) << "one\r\ntwo\r\n";
    ASSERT_EQ(Qtdb("import tags.db a.txt").status, 0u);
    EXPECT_EQ(Qtdb("verify tags.db").status, 0u);
    std::string db = Slurp(dir / "tags.db");
    db[6] = 7; // the header's record count
    std::ofstream(dir / "tags.db", std::ios::binary) << db;
    Result damaged = Qtdb("verify tags.db");
    EXPECT_EQ(damaged.status, 1u);
    EXPECT_EQ(damaged.out.rfind("1 101 ", 0), 0u) << damaged.out;
    Result rebuilt = Qtdb("rebuild tags.db");
    ASSERT_EQ(rebuilt.status, 0u) << rebuilt.err;
    EXPECT_NE(rebuilt.out.find("rows kept       2\r\n"), std::string::npos) << rebuilt.out;
    EXPECT_EQ(Slurp(dir / "tags_.db"), db);
    EXPECT_EQ(Qtdb("verify tags.db").status, 0u);
    EXPECT_EQ(Qtdb("export tags.db").out, "one\r\ntwo\r\n");

    // The dictionary beside qtdb.exe, and the user's list where the control keeps it.
    const std::string text = "Teh cat\r\n";
    Result spell = Qtdb("spell -a --personal words.txt", &text);
    ASSERT_EQ(spell.status, 0u) << spell.err;
    const std::string body = spell.out.substr(spell.out.find('\n') + 1);
    EXPECT_EQ(body.rfind("& Teh ", 0), 0u) << spell.out;
    EXPECT_NE(body.find(": The, "), std::string::npos) << spell.out;
}

} // namespace
