// TTUtility over a stand-in library: the naming rules and setters, a library that is
// missing or lacks an entry point, selecting a table, the header check's scratch table,
// the rewrapped failures, the progress reports and the descriptor's ownership.
#include "DataTestSupport.h"
#include "tests/framework/ScriptedDialogs.h"
#include "framework/Paths.h"
#include "framework/data/Session.h"
#include "tableutil/TableNames.h"
#include "tableutil/Tu32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const kStandIn = "standin\\TUTIL32.DLL";

class TUtilityTest : public ::testing::Test {
  protected:
    TUtilityTest() {
        _putenv("QT_TUTIL_LEVEL=");
        _putenv("QT_TUTIL_FAIL=");
        table = dir.File("Tags.db");
        datatest::MakeTaglineTable(table, datatest::Keys::TagText);
        datatest::AddTaglines(table, {"one", "two", "three"});
    }
    ~TUtilityTest() override {
        _putenv("QT_TUTIL_LEVEL=");
        _putenv("QT_TUTIL_FAIL=");
    }
    std::string Private() const {
        return tablenames::WithBackslash(fw::TSession::Default().PrivateDir());
    }
    datatest::TempDir dir;
    std::string table;
    fw::TScriptedDialogs dialogs;
};

TEST(TableNames, UnderscoreAndStripFollowTheirExamples) {
    using namespace tablenames;
    EXPECT_EQ(UnderscoreName("BackUp"), "BackUp_");
    EXPECT_EQ(UnderscoreName("TAGLINES"), "TAGLINE_");
    EXPECT_EQ(UnderscoreName("ABCDEFG_H"), "ABCDEF__H");
    EXPECT_EQ(UnderscoreName("________X"), "________X");
    EXPECT_EQ(UnderscoreName(""), "_");
    EXPECT_EQ(StripExtension("C:\\a.b\\Tags.db.old"), "C:\\a.b\\Tags");
    EXPECT_EQ(StripExtension("D:x.DB"), "D:x");
    EXPECT_EQ(DirectoryPart("C:\\t\\x.db"), "C:\\t\\");
    EXPECT_EQ(DirectoryPart("x.db"), "");
}

TEST_F(TUtilityTest, BackupKeyViolationAndProblemNamesFollowTheTable) {
    TTUtility u(nullptr, kStandIn);
    EXPECT_EQ(u.tErrTableName(), "__TUERR.DB");
    EXPECT_EQ(u.ErrTablePath(), Private() + "__TUERR.DB");
    u.SetTableName(table);
    EXPECT_EQ(u.tBkUpTableName(), dir.File("Tags_.DB")); // derived from the table
    u.SettBkUpTableName("BackUp.DB");
    EXPECT_EQ(u.tBkUpTableName(), "BackUp.DB");
    EXPECT_EQ(u.BackupTablePath(), dir.File("BackUp_"));
    u.SettBkUpTableName(""); // derived again from the stored name
    EXPECT_EQ(u.tBkUpTableName(), dir.File("BackUp_.DB"));
    EXPECT_EQ(u.BackupTablePath(), dir.File("BackUp_"));
    u.SettKeyVTableName("KEYVIOL.DB");
    EXPECT_EQ(u.KeyViolTablePath(), Private() + "KEYVIOL");
    u.SettProbTableName("");
    EXPECT_EQ(u.tProbTableName(), Private() + "PROBLEMS.DB");
    EXPECT_EQ(u.ProblemTablePath(), Private() + "PROBLEMS");

    const std::string eight = dir.File("TAGLINES.db");
    datatest::MakeTaglineTable(eight, datatest::Keys::TagText);
    TTUtility v(nullptr, kStandIn);
    v.SetTableName(eight);
    EXPECT_EQ(v.BackupTablePath(), dir.File("TAGLINE_"));
}

TEST_F(TUtilityTest, ANameInAMissingDirectoryIsRefusedAndCleared) {
    TTUtility u(nullptr, kStandIn);
    for (auto set : {&TTUtility::SettErrTableName, &TTUtility::SettKeyVTableName,
                     &TTUtility::SettProbTableName, &TTUtility::SettBkUpTableName}) {
        EXPECT_EQ(datatest::ErrorText([&] { (u.*set)(dir.File("nowhere\\x.db")); }),
                  "Invalid directory path");
    }
    EXPECT_EQ(u.tErrTableName(), "");
    EXPECT_EQ(u.ErrTablePath(), Private() + "__TUERR.DB"); // the default comes back
}

TEST_F(TUtilityTest, AMissingLibraryOrEntryPointIsALoadError) {
    try {
        TTUtility u(nullptr, "no-such-library.dll");
        FAIL() << "constructed without a library";
    } catch (const EDLLLoadError& e) {
        EXPECT_STREQ(e.what(), "Unable to Load TUTIL32.DLL");
    }
    try {
        TTUtility u(nullptr, "tutil_partial.dll");
        FAIL() << "constructed without TURebuildTable";
    } catch (const EDLLLoadError& e) {
        EXPECT_STREQ(e.what(), "TUTIL32.DLL lacks the entry point TURebuildTable");
    }
}

TEST_F(TUtilityTest, SelectingATableFillsItsInfoAndAMissingOneClearsTheName) {
    TTUtility u(nullptr, kStandIn);
    u.SetTableName(table);
    const TTableInfo& info = u.TableInfo();
    EXPECT_EQ(info.TableType, "Paradox");
    EXPECT_EQ(info.FieldCount, 2);
    EXPECT_GT(info.RecordSize, 255);
    EXPECT_EQ(info.RecordCount, 3);
    EXPECT_EQ(info.RebuildPossible, 1);
    EXPECT_EQ(info.PasswordProtected, 0);
    EXPECT_EQ(datatest::ErrorText([&] { u.SetTableName(dir.File("gone.db")); }),
              "Table not found.");
    EXPECT_EQ(u.TableName(), "");
    EXPECT_EQ(u.TableInfo().RecordCount, 3); // kept from the last table
    EXPECT_EQ(datatest::ErrorText([&] { u.VerifyTable(); }), "Invalid TUVerify parameters");
    EXPECT_EQ(datatest::ErrorText([&] { u.RebuildTable(nullptr); }),
              "Invalid table description pointer parameter");
}

TEST_F(TUtilityTest, HeaderCheckLeavesNoScratchTableAndLevelThreeForbidsRebuild) {
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA(dir.Path().c_str());
    {
        _putenv("QT_TUTIL_LEVEL=3");
        TTUtility u(nullptr, kStandIn);
        u.SetTableName(table);
        EXPECT_EQ(u.ErrorLevel(), 3);
        EXPECT_EQ(u.TableInfo().RebuildPossible, 0);
        EXPECT_FALSE(fw::FileExists(dir.File("__TMP.DB")));
        _putenv("QT_TUTIL_FAIL=header");
        EXPECT_NE(datatest::ErrorText([&] { u.SetTableName(table); }), "(no error)");
        EXPECT_FALSE(fw::FileExists(dir.File("__TMP.DB")));
    }
    SetCurrentDirectoryA(old);
}

TEST_F(TUtilityTest, AFailedLibraryCallNamesTheFunctionOnASecondLine) {
    TTUtility u(nullptr, kStandIn);
    u.SetTableName(table);
    _putenv("QT_TUTIL_FAIL=TUVerifyTable");
    const std::string text = datatest::ErrorText([&] { u.VerifyTable(); });
    const size_t br = text.find("\r\n");
    ASSERT_NE(br, std::string::npos);
    EXPECT_GT(br, 0u); // the engine's text first
    EXPECT_EQ(text.substr(br), "\r\nTrying TUVerifyTable");
    EXPECT_EQ(u.ErrorLevel(), 2); // what the library wrote before failing
    _putenv("QT_TUTIL_FAIL=TUGetCRTblDescCount");
    EXPECT_NE(datatest::ErrorText([&] { u.GetTableDesc(); }).find("\r\nTrying TUGetCrTblDescCount"),
              std::string::npos);
    _putenv("QT_TUTIL_FAIL=TUFillCRTblDesc");
    EXPECT_NE(datatest::ErrorText([&] { u.GetTableDesc(); }).find("\r\nTrying TUFillCRTblDesc"),
              std::string::npos);
    EXPECT_EQ(u.RebuildDesc(), nullptr); // a descriptor whose filling failed is freed
    _putenv("QT_TUTIL_FAIL=");
    TURebuildDescriptor* d = u.GetTableDesc();
    _putenv("QT_TUTIL_FAIL=TURebuildTable");
    EXPECT_NE(datatest::ErrorText([&] { u.RebuildTable(d); }).find("\r\nTrying TURebuildTable"),
              std::string::npos);
}

TEST_F(TUtilityTest, AFailedSessionEndReachesTheCallerAndTheNextCallStillWorks) {
    TTUtility u(nullptr, kStandIn);
    _putenv("QT_TUTIL_FAIL=TUExit");
    const std::string text = datatest::ErrorText([&] { u.SetTableName(table); });
    EXPECT_NE(text, "(no error)");
    EXPECT_EQ(text.find("Trying"), std::string::npos); // the engine's own message
    _putenv("QT_TUTIL_FAIL=");
    u.SetTableName(table); // the session left open is ended first
    EXPECT_EQ(u.TableInfo().RecordCount, 3);
}

TEST_F(TUtilityTest, AProtectedTablePromptsOnceAndAnEmptyAnswerLeavesTheCountsAtZero) {
    _putenv("QT_TUTIL_PROTECTED=1");
    TTUtility u(nullptr, kStandIn);
    dialogs.Answer(fw::mrOk, "");
    u.SetTableName(table);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Caption, "Table Password");
    EXPECT_EQ(dialogs.Last().Text, "Enter Master Password");
    EXPECT_EQ(u.TableInfo().PasswordProtected, 1);
    EXPECT_EQ(u.TableInfo().RecordCount, 0);
    EXPECT_EQ(u.TableInfo().RebuildPossible, 0);
    dialogs.Answer(fw::mrOk, "sesame");
    u.SetTableName(table);
    EXPECT_EQ(u.Password(), "sesame");
    EXPECT_EQ(u.TableInfo().RecordCount, 3);
    u.SetTableName(table); // the stored password is used: no second prompt
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    _putenv("QT_TUTIL_PROTECTED=");
}

TEST_F(TUtilityTest, VerifyReportsReachTheWindowAndTheHandler) {
    _putenv("QT_TUTIL_LEVEL=2");
    TTUtility u(nullptr, kStandIn);
    TVerifyDlg dlg(nullptr);
    u.SetTableName(table);
    std::vector<TVerifyCBData> seen;
    int gaugeAtData = -1;
    u.OnInfoVerify = [&](TTUtility* sender, const TVerifyCBData& d) {
        EXPECT_EQ(sender, &u);
        seen.push_back(d);
        if (d.Phase == 6 && TVerifyDlg::Window())
            gaugeAtData = TVerifyDlg::Window()->GaugeData->Progress();
    };
    u.SetCBVerifyDialog(&dlg);
    EXPECT_TRUE(u.CBActive);
    u.VerifyTable();
    EXPECT_EQ(u.ErrorLevel(), 2);
    EXPECT_FALSE(dlg.StatusExists()); // closed after the call
    EXPECT_EQ(gaugeAtData, 100);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[seen.size() - 3].IndexNumber, 1);
    EXPECT_EQ(seen[seen.size() - 3].IndexCount, 2);
    EXPECT_EQ(seen[seen.size() - 2].Message, "Checking the data blocks");
    EXPECT_EQ(seen.back().Phase, 9); // past the last phase: still handed on
    EXPECT_TRUE(fw::FileExists(u.ErrTablePath()));

    // With the callbacks off nothing is registered, so no report arrives.
    seen.clear();
    u.CBActive = false;
    u.VerifyTable();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(u.ErrorLevel(), 2);
}

TEST_F(TUtilityTest, RebuildMovesTheGaugeOrTheMessageAndAdoptsAForeignDescriptor) {
    TTUtility u(nullptr, kStandIn);
    TRebuildDlg dlg(nullptr);
    u.SetCBRebuildDialog(&dlg);
    u.SetTableName(table);
    std::vector<TRebuildCBData> seen;
    int gaugeAtMessage = -1;
    std::string lineAtMessage;
    u.OnInfoRebuild = [&](TTUtility*, const TRebuildCBData& d) {
        seen.push_back(d);
        if (!d.Message.empty() && TRebuildDlg::Window()) {
            gaugeAtMessage = TRebuildDlg::Window()->GaugeRebuild->Progress();
            lineAtMessage = TRebuildDlg::Window()->LabelNumPacked->Caption();
        }
    };
    TURebuildDescriptor* own = u.GetTableDesc();
    EXPECT_EQ(own->fieldCount, 2);
    EXPECT_STREQ(own->tableType, "Paradox");
    EXPECT_EQ(own->pack, 1);
    u.RebuildTable(own);
    EXPECT_TRUE(fw::FileExists(dir.File("Tags_.DB")));
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[4].Percent, 100);
    EXPECT_EQ(seen[5].Message, "12 records packed");
    EXPECT_EQ(gaugeAtMessage, 100); // the message left the gauge as it was
    EXPECT_EQ(lineAtMessage, "12 records packed");

    auto* foreign = static_cast<TURebuildDescriptor*>(std::calloc(1, sizeof(TURebuildDescriptor)));
    u.RebuildTable(foreign);
    EXPECT_EQ(u.RebuildDesc(), foreign); // freed with the component
}

// Whatever step of the component the library faults in, that step ends with
// ETUtilityError naming the fault and the step; the progress windows are closed, the
// report callback withdrawn, and the library serves the next call.
TEST_F(TUtilityTest, AFaultInsideTheLibraryEndsTheStepNotTheProgram) {
    TTUtility u(nullptr, kStandIn);
    TVerifyDlg verify(nullptr);
    TRebuildDlg rebuild(nullptr);
    u.SetCBVerifyDialog(&verify);
    u.SetCBRebuildDialog(&rebuild);
    u.SetTableName(table);
    struct TCase {
        const char* entry;
        const char* step;
        std::function<void()> call;
    };
    const TCase cases[] = {
        {"TUVerifyTable", "TUVerifyTable", [&] { u.VerifyTable(); }},
        {"TURebuildTable", "TURebuildTable", [&] { u.RebuildTable(u.GetTableDesc()); }},
        {"TUGetCRTblDescCount", "TUGetCrTblDescCount", [&] { u.GetTableDesc(); }},
        {"TUFillCRTblDesc", "TUFillCRTblDesc", [&] { u.GetTableDesc(); }},
        {"TUInit", "TUGetCrTblDescCount", [&] { u.GetTableDesc(); }},
        {"TUFillCURProps", "TUFillCURProps", [&] { u.SetTableName(table); }},
        {"TUExit", "TUExit", [&] { u.SetTableName(table); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.entry);
        _putenv((std::string("QT_TUTIL_FAULT=") + c.entry).c_str());
        std::string text = "(no error)";
        try {
            c.call();
        } catch (const ETUtilityError& e) {
            text = e.what();
        }
        _putenv("QT_TUTIL_FAULT=");
        EXPECT_EQ(text.rfind("Access violation at address ", 0), 0u) << text;
        EXPECT_NE(text.find(" in module 'TUTIL32.DLL'. Write of address "), std::string::npos)
            << text;
        const size_t br = text.find("\r\n");
        EXPECT_EQ(br == std::string::npos ? text : text.substr(br),
                  std::string("\r\nTrying ") + c.step);
        EXPECT_FALSE(verify.StatusExists());
        EXPECT_FALSE(rebuild.StatusExists());
        uintptr_t client = 0;
        uint16_t length = 0;
        void* buffer = nullptr;
        IdpCallback fn = nullptr;
        EXPECT_NE(idpGetCallback(IDP_CB_PROGRESS, &client, &length, &buffer, &fn), IDP_OK);
    }
    u.SetTableName(table);
    _putenv("QT_TUTIL_LEVEL=1");
    u.VerifyTable();
    EXPECT_EQ(u.ErrorLevel(), 1);
}

// A progress window or handler that fails does not unwind through the library: the call
// runs to its end, and then the failure comes out as it was raised.
TEST_F(TUtilityTest, AFailingProgressHandlerFailsTheCallAfterTheLibraryIsDone) {
    _putenv("QT_TUTIL_LEVEL=2");
    TTUtility u(nullptr, kStandIn);
    u.SetTableName(table);
    u.CBActive = true;
    int reports = 0;
    u.OnInfoVerify = [&](TTUtility*, const TVerifyCBData&) {
        if (++reports == 1)
            throw ETUtilityError("The handler failed");
    };
    EXPECT_EQ(datatest::ErrorText([&] { u.VerifyTable(); }), "The handler failed");
    EXPECT_EQ(reports, 21); // every report still arrived
    EXPECT_EQ(u.ErrorLevel(), 2);
    u.OnInfoVerify = nullptr;
    u.VerifyTable(); // nothing of the failure stays behind
}

// The reports are read no further than the buffers the library was given, even when a
// message fills its room without a terminator.
TEST_F(TUtilityTest, ReportsAreReadWithinTheirBuffers) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    auto* pages =
        static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    VirtualProtect(pages + page, page, PAGE_NOACCESS, &old); // a read past the end faults
    TTUtility u(nullptr, kStandIn);
    u.CBActive = true;
    std::string verifyMessage, rebuildMessage;
    u.OnInfoVerify = [&](TTUtility*, const TVerifyCBData& d) { verifyMessage = d.Message; };
    u.OnInfoRebuild = [&](TTUtility*, const TRebuildCBData& d) { rebuildMessage = d.Message; };
    unsigned char* verify = pages + page - TU_VCB_SIZE;
    std::memset(verify, 'v', TU_VCB_SIZE);
    verify[TU_VCB_PHASE] = 7;
    TTUtility::VerifyCallback(IDP_CB_PROGRESS, reinterpret_cast<uintptr_t>(&u), verify);
    unsigned char* rebuild = pages + page - TU_RCB_SIZE;
    std::memset(rebuild, 'r', TU_RCB_SIZE);
    rebuild[0] = rebuild[1] = 0xFF; // -1: a message
    TTUtility::RebuildCallback(IDP_CB_PROGRESS, reinterpret_cast<uintptr_t>(&u), rebuild);
    VirtualFree(pages, 0, MEM_RELEASE);
    EXPECT_EQ(verifyMessage, std::string(82, 'v'));
    EXPECT_EQ(rebuildMessage, std::string(TU_RCB_SIZE - TU_RCB_MESSAGE, 'r'));
}

TEST_F(TUtilityTest, RemovedDialogsAreForgottenAndCallbacksStayOn) {
    TTUtility u(nullptr, kStandIn);
    TVerifyDlg v(nullptr);
    TRebuildDlg r(nullptr);
    u.SetCBVerifyDialog(&v);
    u.SetCBRebuildDialog(&r);
    u.Notification(&v);
    EXPECT_EQ(u.CBVerifyDialog(), nullptr);
    EXPECT_EQ(u.CBRebuildDialog(), &r);
    u.Notification(&r);
    EXPECT_EQ(u.CBRebuildDialog(), nullptr);
    EXPECT_TRUE(u.CBActive);
}

} // namespace
