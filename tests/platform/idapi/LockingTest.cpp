// Exclusive opens: refused to every other open, in this process and in another one, and
// tables in use cannot be deleted or replaced.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestTables.h"

using namespace idptest;

namespace {

TEST(Locking, ExclusiveOpenShutsOutOtherOpensDeletesAndCreates) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    {
        Table holder(path, IDP_OPEN_EXCLUSIVE);
        ASSERT_EQ(IDP_OK, holder.Status());
        EXPECT_EQ(IDP_ERR_LOCKED, Table(path).Status());
        EXPECT_EQ(IDP_ERR_LOCKED, Table(path, IDP_OPEN_EXCLUSIVE).Status());
        EXPECT_NE(std::string::npos, LastError().find("Table is locked"));
        EXPECT_EQ(IDP_ERR_LOCKED, idpDeleteTable(path.c_str()));
        IdpFieldDesc f[1] = {{"A", IDP_FLD_SHORT, 0, 0}};
        EXPECT_EQ(IDP_ERR_LOCKED, idpCreateTable(path.c_str(), 1, f, 0, nullptr));
    }
    {
        Table a(path), b(path); // shared opens share
        EXPECT_EQ(IDP_OK, a.Status());
        EXPECT_EQ(IDP_OK, b.Status());
        EXPECT_EQ(IDP_ERR_LOCKED, Table(path, IDP_OPEN_EXCLUSIVE).Status());
    }
    EXPECT_EQ(IDP_OK, idpDeleteTable(path.c_str()));
    EXPECT_EQ(IDP_ERR_NO_SUCH_TABLE, Table(path).Status());
}

TEST(Locking, ATableWithAReadOnlyFileIsNotDeletedAtAll) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    const std::string px = dir.Path("Tags.px");
    ASSERT_EQ(0, ::access(px.c_str(), F_OK));
    ASSERT_EQ(0, ::chmod(px.c_str(), 0444));
    EXPECT_EQ(IDP_ERR_ACCESS, idpDeleteTable(path.c_str()));
    EXPECT_NE(std::string::npos, LastError().find("Tags.px is read-only; nothing was deleted"))
        << LastError();
    EXPECT_EQ(IDP_OK, Table(path).Status()) << "the data file is still there and opens";
    ASSERT_EQ(0, ::chmod(px.c_str(), 0644));
    EXPECT_EQ(IDP_OK, idpDeleteTable(path.c_str()));
}

TEST(Locking, AnotherProcessIsRefusedWhileTheTableIsHeld) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    int toChild[2], toParent[2];
    ASSERT_EQ(0, pipe(toChild));
    ASSERT_EQ(0, pipe(toParent));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IdpCursor c = nullptr;
        char ok = idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c) == IDP_OK ? 'y' : 'n';
        (void)!write(toParent[1], &ok, 1);
        char go;
        (void)!read(toChild[0], &go, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(1, read(toParent[0], &ok, 1));
    ASSERT_EQ('y', ok);
    EXPECT_EQ(IDP_ERR_LOCKED, Table(path).Status());
    EXPECT_EQ(IDP_ERR_LOCKED, idpDeleteTable(path.c_str()));
    (void)!write(toChild[1], "g", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(IDP_OK, Table(path, IDP_OPEN_EXCLUSIVE).Status());
}

} // namespace
