// TRegFile against Wine's real registry: how each kind is stored and read back, the
// value-path split, the failure messages, and that the key is closed on every path.
#include "desktop/RegFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A TRegFile that counts the opens that left a key open and the closes that found one.
class CountingRegFile : public TRegFile {
  public:
    using TRegFile::TRegFile;
    bool OpenKey(const std::string& path, bool openOnly) override {
        lastPath = path;
        bool ok = TRegFile::OpenKey(path, openOnly);
        opens += KeyIsOpen();
        return ok;
    }
    void CloseKey() override {
        closes += KeyIsOpen();
        TRegFile::CloseKey();
    }
    bool KeyIsOpen() const { return CurrentKey() != nullptr; }
    int opens = 0;
    int closes = 0;
    std::string lastPath;
};

struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

class RegFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base = std::string("Software\\QuiptideTests\\") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
        reg.SetKey(base);
    }
    void TearDown() override {
        EXPECT_FALSE(reg.KeyIsOpen());
        EXPECT_EQ(reg.opens, reg.closes) << "every key opened is closed";
        RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    }

    RawValue Raw(const std::string& name, const std::string& sub = "") {
        RawValue v;
        HKEY key;
        std::string path = base + sub;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return v;
        DWORD size = 0;
        const char* n = name.empty() ? nullptr : name.c_str();
        v.status = RegQueryValueExA(key, n, nullptr, &v.type, nullptr, &size);
        v.data.resize(size);
        if (v.status == ERROR_SUCCESS && size)
            v.status = RegQueryValueExA(key, n, nullptr, &v.type, v.data.data(), &size);
        RegCloseKey(key);
        return v;
    }
    void PutRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    bool KeyExists(const std::string& path) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::string base;
    CountingRegFile reg{nullptr};
};

template <typename F> std::string ErrorOf(F call) {
    try {
        call();
    } catch (const ERegFileError& e) {
        return e.Message();
    }
    return "no error";
}

} // namespace

TEST_F(RegFileTest, StoringTable) {
    reg.WriteValue("Small", fw::Variant(short(-2)));
    reg.WriteValue("Int", fw::Variant(123456));
    reg.WriteValue("True", fw::Variant(true));
    reg.WriteValue("False", fw::Variant(false));
    reg.WriteValue("Double", fw::Variant(0.1));
    reg.WriteValue("Date", fw::Variant::FromDateTime(36526.5));
    reg.WriteValue("Text", fw::Variant("C:\\Mail\\signatur.pce"));

    RawValue small = Raw("Small");
    ASSERT_EQ(small.type, DWORD(REG_DWORD));
    ASSERT_EQ(small.data.size(), 4u);
    EXPECT_EQ(small.data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Raw("Int").data, (std::vector<std::uint8_t>{0x40, 0xE2, 0x01, 0x00}));
    RawValue yes = Raw("True");
    EXPECT_EQ(yes.type, DWORD(REG_DWORD));
    EXPECT_EQ(yes.data, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Raw("False").data, (std::vector<std::uint8_t>{0, 0, 0, 0}));

    RawValue dbl = Raw("Double");
    ASSERT_EQ(dbl.type, DWORD(REG_BINARY));
    ASSERT_EQ(dbl.data.size(), 16u);
    EXPECT_EQ(dbl.data[0], 0x05);
    EXPECT_EQ(dbl.data[1], 0x00);
    double payload;
    std::memcpy(&payload, dbl.data.data() + 8, 8);
    EXPECT_EQ(payload, 0.1);
    EXPECT_EQ(Raw("Date").data[0], 0x07);

    RawValue text = Raw("Text");
    EXPECT_EQ(text.type, DWORD(REG_SZ));
    std::string expected = "C:\\Mail\\signatur.pce";
    ASSERT_EQ(text.data.size(), expected.size() + 1) << "length + 1, the NUL included";
    EXPECT_EQ(std::string(text.data.begin(), text.data.end() - 1), expected);
    EXPECT_EQ(text.data.back(), 0);
    EXPECT_EQ(reg.opens, 7) << "one open per value";
}

TEST_F(RegFileTest, ReadBackTable) {
    reg.WriteValue("Small", fw::Variant(short(-2)));
    reg.WriteValue("True", fw::Variant(true));
    reg.WriteValue("Single", fw::Variant(0.75f));
    reg.WriteValue("Double", fw::Variant(-1234.5678));
    reg.WriteValue("Money", fw::Variant::FromCurrency(199900));
    reg.WriteValue("Text", fw::Variant("Hourly"));

    fw::Variant small = reg.ReadValue("Small");
    EXPECT_EQ(small.VarType(), fw::varInteger) << "a 16-bit integer comes back 32-bit";
    EXPECT_EQ(small.AsInteger(), -2);
    fw::Variant yes = reg.ReadValue("True");
    EXPECT_EQ(yes.VarType(), fw::varInteger);
    EXPECT_EQ(yes.AsInteger(), -1);
    EXPECT_TRUE(yes.AsBoolean());
    EXPECT_EQ(reg.ReadValue("Single").VarType(), fw::varSingle);
    EXPECT_EQ(reg.ReadValue("Single").AsDouble(), 0.75);
    fw::Variant dbl = reg.ReadValue("Double");
    EXPECT_EQ(dbl.VarType(), fw::varDouble);
    EXPECT_EQ(dbl.AsDouble(), -1234.5678);
    EXPECT_EQ(reg.ReadValue("Money").AsDouble(), 19.99);
    fw::Variant text = reg.ReadValue("Text");
    EXPECT_EQ(text.VarType(), fw::varString);
    EXPECT_EQ(text.AsString(), "Hourly");
    EXPECT_EQ(reg.ReadValue("Missing").VarType(), fw::varNull);
}

TEST_F(RegFileTest, UnusualStoredValues) {
    PutRaw("Empty", REG_BINARY, nullptr, 0);
    PutRaw("OnlyNul", REG_SZ, "", 1);
    PutRaw("NoNul", REG_SZ, "abc", 3);
    PutRaw("Inner", REG_SZ, "ab\0cd", 6);
    PutRaw("Expand", REG_EXPAND_SZ, "%TEMP%", 7);
    PutRaw("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    std::uint8_t eight[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    PutRaw("Binary8", REG_BINARY, eight, 8);
    std::uint8_t shortDword[2] = {1, 2};
    PutRaw("ShortDword", REG_DWORD, shortDword, 2);

    EXPECT_EQ(reg.ReadValue("Empty").VarType(), fw::varNull) << "no data reads as null";
    EXPECT_EQ(reg.ReadValueDef("Empty", fw::Variant(9)).AsInteger(), 9);
    fw::Variant onlyNul = reg.ReadValueDef("OnlyNul", fw::Variant("default"));
    EXPECT_EQ(onlyNul.VarType(), fw::varString);
    EXPECT_EQ(onlyNul.AsString(), "") << "an empty string, not the default";
    EXPECT_EQ(reg.ReadValue("NoNul").AsString(), "abc");
    EXPECT_EQ(reg.ReadValue("Inner").AsString(), "ab");
    for (const char* name : {"Expand", "Multi", "Binary8", "ShortDword"}) {
        fw::Variant v = reg.ReadValueDef(name, fw::Variant("default"));
        EXPECT_EQ(v.VarType(), fw::varEmpty) << name << " reads as empty, the default not applied";
    }
}

TEST_F(RegFileTest, SixteenByteBinaryIsTrustedOnlyForValueKinds) {
    // A record claiming to be a string (or any kind outside 4 to 7) must never be taken:
    // its payload would be read as a pointer.
    for (std::uint16_t kind : {0, 1, 2, 3, 8, 9, 11, 13, 256, 0x4005, 0x2005}) {
        std::uint8_t record[16] = {};
        record[0] = static_cast<std::uint8_t>(kind & 0xFF);
        record[1] = static_cast<std::uint8_t>(kind >> 8);
        std::memset(record + 8, 0x41, 8);
        PutRaw("Record", REG_BINARY, record, 16);
        EXPECT_EQ(reg.ReadValueDef("Record", fw::Variant(1)).VarType(), fw::varEmpty)
            << "kind " << kind;
    }
    std::uint8_t date[16] = {7};
    double days = 45000.25;
    std::memcpy(date + 8, &days, 8);
    std::memset(date + 2, 0xAB, 6); // reserved bytes are ignored
    PutRaw("Record", REG_BINARY, date, 16);
    fw::Variant v = reg.ReadValue("Record");
    EXPECT_EQ(v.VarType(), fw::varDate);
    EXPECT_EQ(v.AsDouble(), days);
}

TEST_F(RegFileTest, UnsupportedKindsWriteNothing) {
    for (const fw::Variant& v : {fw::Variant(), fw::Variant::Null()}) {
        EXPECT_EQ(ErrorOf([&] { reg.WriteValue("Nothing", v); }), "Invalid variant type");
        EXPECT_EQ(Raw("Nothing").status, ERROR_FILE_NOT_FOUND);
    }
}

TEST_F(RegFileTest, ReadingCreatesTheKeyAndReturnsTheDefault) {
    EXPECT_FALSE(KeyExists(base));
    EXPECT_EQ(reg.ReadValueDef("Interval", fw::Variant(5)).AsInteger(), 5);
    EXPECT_TRUE(KeyExists(base)) << "the (empty) key stays";
}

TEST_F(RegFileTest, EmptyNameIsTheDefaultValue) {
    reg.WriteValue("", fw::Variant("unnamed"));
    RawValue v = Raw("");
    EXPECT_EQ(v.type, DWORD(REG_SZ));
    EXPECT_EQ(reg.ReadValue("").AsString(), "unnamed");
}

TEST_F(RegFileTest, ValuePathsOpenSubKeys) {
    reg.WriteValue("Sub\\Val", fw::Variant(1));
    EXPECT_EQ(reg.lastPath, base + "\\Sub");
    EXPECT_EQ(Raw("Val", "\\Sub").type, DWORD(REG_DWORD));
    EXPECT_EQ(reg.ReadValue("\\Sub\\Val").AsInteger(), 1);
    EXPECT_EQ(reg.lastPath, base + "\\Sub");
    reg.WriteValue("a\\\\b", fw::Variant(2));
    EXPECT_EQ(reg.lastPath, base);
    EXPECT_EQ(Raw("a\\\\b").type, DWORD(REG_DWORD)) << "both backslashes stay in the name";
    reg.WriteValue("\\Lead", fw::Variant(3));
    EXPECT_EQ(reg.lastPath, base) << "a lone leading backslash addresses Key itself";
    EXPECT_EQ(Raw("Lead").type, DWORD(REG_DWORD));
}

TEST(RegFileSplit, Examples) {
    auto split = [](const std::string& name) {
        TRegFile::TValuePath p = TRegFile::SplitValuePath(name);
        return p.path + "|" + p.value;
    };
    EXPECT_EQ(split("Interval"), "|Interval");
    EXPECT_EQ(split("Sub\\Val"), "\\Sub|Val");
    EXPECT_EQ(split("\\Sub\\Val"), "\\Sub|Val");
    EXPECT_EQ(split("a\\\\b"), "|a\\\\b");
    EXPECT_EQ(split("\\Val"), "|Val");
    EXPECT_EQ(split("Sub\\"), "\\Sub|");
    EXPECT_EQ(split("A\\B\\C"), "\\A\\B|C");
    EXPECT_EQ(split("a\\\\\\b"), "\\a|\\\\b");
    EXPECT_EQ(split("\\\\x"), "|\\\\x");
    EXPECT_EQ(split("\\"), "|");
    EXPECT_EQ(split(""), "|");
}

TEST_F(RegFileTest, DynDataOnlyOpensAndCannotOpen) {
    reg.SetRootKey(hkDynData);
    EXPECT_EQ(ErrorOf([&] { reg.ReadValue("Interval"); }), "Can't open a Key");
    EXPECT_EQ(ErrorOf([&] { reg.WriteValue("Interval", fw::Variant(1)); }), "Can't open a Key");
    EXPECT_EQ(reg.LastError(), 0) << "a failed open leaves LastError alone";
    EXPECT_FALSE(reg.OpenKey(base, true));
}

TEST_F(RegFileTest, RegistryFailuresAreReported) {
    // A non-volatile key cannot be created below a volatile one: a real failing call.
    HKEY volatileKey;
    std::string path = base + "\\Volatile";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    EXPECT_EQ(ErrorOf([&] { reg.WriteValue("Volatile\\Child\\Val", fw::Variant(1)); }),
              "Reg Error: 000003FD");
    EXPECT_EQ(reg.LastError(), ERROR_CHILD_MUST_BE_VOLATILE);
    EXPECT_EQ(ErrorOf([&] { reg.ReadValue("Volatile\\Child\\Val"); }), "Reg Error: 000003FD");

    EXPECT_EQ(ErrorOf([&] { reg.CheckResult(2); }), "Reg Error: 00000002");
    EXPECT_EQ(reg.LastError(), 2);
    EXPECT_EQ(ErrorOf([&] { reg.CheckResult(0); }), "no error");
    EXPECT_EQ(reg.LastError(), 0);
}

TEST_F(RegFileTest, KeyIsClosedWhenTheStoreFails) {
    // A value name longer than the registry allows makes the store itself fail.
    std::string longName(20000, 'n');
    std::string error = ErrorOf([&] { reg.WriteValue(longName, fw::Variant(1)); });
    EXPECT_NE(reg.LastError(), 0) << "the failure's code survives the close";
    char expected[32];
    std::snprintf(expected, sizeof expected, "Reg Error: %08X", unsigned(reg.LastError()));
    EXPECT_EQ(error, expected);
    EXPECT_EQ(reg.closes, 1);
}

TEST_F(RegFileTest, RawOperationsOnAnOpenKey) {
    ASSERT_TRUE(reg.OpenKey(base, false));
    DWORD type = 0;
    EXPECT_EQ(reg.GetDataSize("Missing", type), -1);
    std::uint32_t value = 0x01020304;
    reg.WriteData("Raw", &value, REG_DWORD, 4);
    EXPECT_EQ(reg.GetDataSize("Raw", type), 4);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    std::uint32_t back = 0;
    EXPECT_EQ(reg.ReadData("Raw", &back, 4), DWORD(REG_DWORD));
    EXPECT_EQ(back, value);
    std::uint8_t small[2];
    EXPECT_EQ(ErrorOf([&] { reg.ReadData("Raw", small, 2); }), "Reg Error: 000000EA")
        << "a buffer too small is a registry error, not an overrun";
    // Opening another key releases the first.
    ASSERT_TRUE(reg.OpenKey(base + "\\Other", false));
    EXPECT_EQ(reg.closes, 1);
    reg.CloseKey();
    reg.CloseKey(); // closing twice is harmless
    EXPECT_EQ(reg.closes, 2);
}
