// Start-up with one or more settings stored as the wrong registry type: a value that does
// not convert costs only itself (its default, and the conversion message once), every
// other setting is read as stored, the window comes up whole, and the close writes every
// other setting back exactly as it was.
#include "WindowTest.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace {

enum class TKind { Text, Number, Flag };

struct TSetting {
    const char* name;
    TKind kind;
    Raw good;                                       // stored before the start
    std::function<std::string(TMainForm&)> current; // the setting as the window holds it
    std::string def;                                // its default, in the same terms
};

Raw Text(const std::string& s) {
    return {REG_SZ, std::vector<BYTE>(s.c_str(), s.c_str() + s.size() + 1), true};
}

Raw Dword(DWORD v) {
    Raw r{REG_DWORD, std::vector<BYTE>(4), true};
    std::memcpy(r.data.data(), &v, 4);
    return r;
}

std::string Flag(bool b) {
    return b ? "true" : "false";
}

class BadSettingsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        table = dir + "Quiptide.db";
        // Every good value differs from its default where the setting allows it. The
        // signature file is missing, so nothing is saved and Date stays as stored.
        settings = {
            {"Sequencer", TKind::Text, Text("Sequential"), [](TMainForm& f) { return f.Sequencer; },
             "Random"},
            {"Frequency", TKind::Text, Text("Hourly"), [](TMainForm& f) { return f.Frequency; },
             "Daily"},
            {"SpawnPrg", TKind::Text, Text("C:\\Mail\\mailer.exe"),
             [](TMainForm& f) { return f.SpawnPrg; }, ""},
            {"Spawn", TKind::Flag, Dword(0xFFFFFFFF), [](TMainForm& f) { return Flag(f.Spawn); },
             "false"},
            {"Warn", TKind::Flag, Dword(0), [](TMainForm& f) { return Flag(f.Warn); }, "true"},
            {"SigFile", TKind::Text, Text(dir + "missing.pce"),
             [](TMainForm& f) { return f.SigFile; }, ""},
            {"DBFile", TKind::Text, Text(table), [](TMainForm& f) { return f.DBFile; }, table},
            {"Date", TKind::Text, Text("12/1/2026"), [](TMainForm& f) { return f.Date; },
             fw::DateToStr()},
            {"Interval", TKind::Number, Dword(17),
             [](TMainForm& f) { return std::to_string(f.Interval); }, "5"},
            {"Hints", TKind::Flag, Dword(0), [](TMainForm& f) { return Flag(f.Hints); }, "true"},
            {"ToolBar", TKind::Flag, Dword(0), [](TMainForm& f) { return Flag(f.ToolBar); },
             "true"},
            {"Tray", TKind::Flag, Dword(0), [](TMainForm& f) { return Flag(f.Tray); }, "true"},
            {"PosTop", TKind::Number, Dword(40),
             [](TMainForm& f) { return std::to_string(f.Top()); },
             std::to_string(GetSystemMetrics(SM_CXSCREEN) / 4)},
            {"PosLeft", TKind::Number, Dword(30),
             [](TMainForm& f) { return std::to_string(f.Left()); },
             std::to_string(GetSystemMetrics(SM_CYSCREEN) / 4)},
            {"TagPos", TKind::Flag, Dword(0xFFFFFFFF), [](TMainForm& f) { return Flag(f.TagPos); },
             "false"},
            {"CustDate", TKind::Text, Text("mmmm d, yyyy"), [](TMainForm& f) { return f.CustDate; },
             "mmm dd, yy"},
            {"CustTime", TKind::Text, Text("t"), [](TMainForm& f) { return f.CustTime; }, "tt"},
        };
    }

    // The good value as the window shows it once read.
    static std::string Shown(const TSetting& s) {
        if (s.kind == TKind::Text)
            return std::string(reinterpret_cast<const char*>(s.good.data.data()));
        DWORD v;
        std::memcpy(&v, s.good.data.data(), 4);
        return s.kind == TKind::Flag ? Flag(v != 0) : std::to_string(static_cast<int>(v));
    }

    void StoreAllGood() {
        for (const TSetting& s : settings)
            WriteRaw(s.name, s.good.type, s.good.data.data(),
                     static_cast<DWORD>(s.good.data.size()));
    }

    int ConversionMessages() const {
        const auto& t = Texts();
        return static_cast<int>(std::count(t.begin(), t.end(), "Invalid variant type conversion"));
    }

    // Starts on the stored values with `bad` holding the given raw value, then checks the
    // window and what its close writes back.
    void StartWith(const TSetting& bad, DWORD type, const std::string& bytes,
                   const std::string& expected, bool failure) {
        SCOPED_TRACE(std::string(bad.name) + " stored as type " + std::to_string(type));
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
        dialogs.Clear();
        StoreAllGood();
        WriteRaw(bad.name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
        // A table path that no longer names a file asks for one; the user picks the table.
        if (std::string(bad.name) == "DBFile") {
            dialogs.Answer(fw::mrOk);
            dialogs.Answer(fw::mrOk, table);
        }
        TMainForm& f = Create();

        EXPECT_EQ(ConversionMessages(), failure ? 1 : 0);
        EXPECT_EQ(bad.current(f), expected);
        for (const TSetting& s : settings) {
            if (&s != &bad) {
                EXPECT_EQ(s.current(f), Shown(s)) << s.name;
            }
        }
        // The start-up ran to its end: the table open, the panels filled, the tray icon up.
        EXPECT_TRUE(f.Table1->Active());
        EXPECT_EQ(f.StatusBarTop->Panel(1).Text(), f.Sequencer);
        EXPECT_EQ(f.StatusBarBottom->Panel(0).Text(), "DB File is: " + f.DBFile);
        EXPECT_TRUE(f.TrayIcon1->Active());

        f.FormClose(&f);
        form.reset();
        for (const TSetting& s : settings) {
            if (&s == &bad)
                continue;
            Raw after = ReadRaw(s.name);
            EXPECT_EQ(after.type, s.good.type) << s.name;
            EXPECT_EQ(after.data, s.good.data) << s.name;
        }
    }

    std::string table;
    std::vector<TSetting> settings;
};

const std::string kThreeBytes("\x01\x02\x03", 3);
const std::string kMultiText("one\0two\0\0", 9);

TEST_F(BadSettingsTest, TextWhereANumberOrAFlagBelongsTakesTheDefaultAndSaysSo) {
    for (const TSetting& s : settings)
        if (s.kind != TKind::Text)
            StartWith(s, REG_SZ, std::string("abc", 4), s.def, true);
}

TEST_F(BadSettingsTest, ANumberWhereTextBelongsIsReadAsItsDigits) {
    const std::string seven("\x07\0\0\0", 4);
    for (const TSetting& s : settings)
        if (s.kind == TKind::Text)
            StartWith(s, REG_DWORD, seven, std::string(s.name) == "DBFile" ? table : "7", false);
}

TEST_F(BadSettingsTest, ABinaryOfThreeBytesOrAListOfTextsReadsAsEmpty) {
    const std::pair<DWORD, std::string> kinds[] = {{REG_BINARY, kThreeBytes},
                                                   {REG_MULTI_SZ, kMultiText}};
    for (const auto& [type, bytes] : kinds) {
        for (const TSetting& s : settings) {
            std::string empty = s.kind == TKind::Text ? "" : s.kind == TKind::Flag ? "false" : "0";
            if (std::string(s.name) == "DBFile")
                empty = table;
            StartWith(s, type, bytes, empty, false);
        }
    }
}

TEST_F(BadSettingsTest, SeveralBadValuesGiveOneMessageAndLeaveTheRestAlone) {
    StoreAllGood();
    WriteString("Interval", "abc");
    WriteString("ToolBar", "maybe");
    WriteString("PosTop", "high");
    TMainForm& f = Create();
    // One for the window position, one for the other settings.
    EXPECT_EQ(ConversionMessages(), 2);
    EXPECT_EQ(f.Interval, 5);
    EXPECT_TRUE(f.ToolBar);
    EXPECT_EQ(f.Height(), 458) << "the toolbar is shown, so the window keeps its full height";
    EXPECT_EQ(f.CustDate, "mmmm d, yyyy");
    EXPECT_EQ(f.CustTime, "t");
    f.FormClose(&f);
    form.reset();
    EXPECT_EQ(ReadRaw("CustDate").data, Text("mmmm d, yyyy").data);
    EXPECT_EQ(ReadRaw("CustTime").data, Text("t").data);
    EXPECT_EQ(ReadRaw("Interval").data, Dword(5).data) << "the default replaces the bad value";
}

} // namespace
