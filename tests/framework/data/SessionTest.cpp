#include "framework/data/DBErrors.h"
#include "framework/data/Session.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(Session, DefaultSessionHasAWritablePrivateDirectoryAndNamedSessionsAreFoundAgain) {
    fw::TSession session = fw::TSession::Default();
    std::string dir = session.PrivateDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    std::string probe = dir + "probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    EXPECT_EQ(session.DatabaseCount(), 0);

    int before = fw::TSession::Count();
    fw::TSession utility = fw::TSession::OpenSession("TUtilSession");
    EXPECT_EQ(fw::TSession::Count(), before + 1);
    EXPECT_EQ(utility.SessionName(), "TUtilSession");
    EXPECT_EQ(fw::TSession::OpenSession("tutilsession").Handle(), utility.Handle());
    EXPECT_EQ(fw::TSession::Count(), before + 1);
    EXPECT_NE(utility.Handle(), session.Handle());
}

TEST(EngineErrors, AFailedStatusRaisesAnEngineErrorWithTheEngineText) {
    for (IdpStatus status : {IDP_ERR_LOCKED, IDP_ERR_NOT_A_TABLE, IDP_ERR_KEY_VIOLATION}) {
        char text[256] = {};
        idpGetErrorText(status, text, sizeof text);
        ASSERT_NE(text[0], '\0');
        try {
            fw::Check(status);
            FAIL() << "status " << status << " passed the check";
        } catch (const fw::EDatabaseError& e) {
            auto* engine = dynamic_cast<const fw::EDBEngineError*>(&e);
            ASSERT_NE(engine, nullptr);
            EXPECT_EQ(engine->ErrorCode(), status);
            EXPECT_EQ(e.Message(), text);
        }
    }
    EXPECT_NO_THROW(fw::Check(IDP_OK));

    // After a failed call the text also names the table; a status from elsewhere does
    // not pick up that stale context.
    fw::TTable missing(nullptr);
    missing.SetTableName("C:\\no such folder\\gone.db");
    try {
        missing.Open();
        FAIL() << "the table does not exist";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_NO_SUCH_TABLE);
        EXPECT_NE(e.Message().find("gone.db"), std::string::npos) << e.Message();
    }
    try {
        fw::Check(IDP_ERR_NO_SUCH_TABLE);
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.Message().find("gone.db"), std::string::npos) << e.Message();
    }
}

} // namespace
