// Exclusive opens: refused to every other open, in this process and in another one, and
// tables in use cannot be deleted or replaced; nor can a file that is no table, nor the
// index files of another table of the same name.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "TestTables.h"
#include "taglinedb/TaglineSchema.h"

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

TEST(Locking, DeletesAndCreatesTouchNoFileButTheTablesOwn) {
    const std::vector<uint8_t> text = {'s', 'i', 'g', '\r', '\n'};
    using Act = IdpStatus (*)(const std::string&);
    const Act create = [](const std::string& path) {
        return idpCreateTable(path.c_str(), tagline::kFieldCount, tagline::kFields,
                              tagline::kIndexCount, tagline::kIndexes);
    };
    const Act remove = [](const std::string& path) { return idpDeleteTable(path.c_str()); };
    enum class After { Text, Table, Gone };
    struct Case {
        const char* what;
        Act act;
        const char* name;
        IdpStatus status;
        After after;
    };
    // Beside Tags.db lie text files and Tags.tbl, a copy of it: a table of the same name.
    const Case cases[] = {
        {"a text file is not deleted", remove, "notes.txt", IDP_ERR_NOT_A_TABLE, After::Text},
        {"nor one named like a table", remove, "Tags.txt", IDP_ERR_NOT_A_TABLE, After::Text},
        {"no table over a file named like a table", create, "Tags.txt", IDP_ERR_ACCESS,
         After::Text},
        {"a table over another text file", create, "notes.txt", IDP_OK, After::Table},
        {"a table whose header is damaged is deleted", remove, "Cut.db", IDP_OK, After::Gone},
        {"the twin goes without the index files", remove, "Tags.tbl", IDP_OK, After::Gone},
        {"and so does the table", remove, "Tags.db", IDP_OK, After::Gone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string tags = dir.Path("Tags.db");
        CreateTagTable(tags);
        ASSERT_EQ(IDP_OK, Table(tags).Add("kept"));
        WriteFile(dir.Path("notes.txt"), text);
        WriteFile(dir.Path("Tags.txt"), text);
        WriteFile(dir.Path("Tags.tbl"), ReadFile(tags));
        std::vector<uint8_t> cut = ReadFile(tags);
        cut.resize(0x100);
        WriteFile(dir.Path("Cut.db"), cut);

        const std::string path = dir.Path(c.name);
        EXPECT_EQ(c.status, c.act(path)) << LastError();
        EXPECT_EQ(c.after != After::Gone, std::filesystem::exists(path));
        EXPECT_EQ(c.after == After::Table, Table(path).Status() == IDP_OK);
        for (const char* name : {"notes.txt", "Tags.txt"}) {
            if (c.after == After::Text || name != std::string(c.name)) {
                EXPECT_EQ(text, ReadFile(dir.Path(name))) << name;
            }
        }
        EXPECT_TRUE(std::filesystem::exists(dir.Path("Tags.px")));
        EXPECT_TRUE(std::filesystem::exists(dir.Path("Tags.qix")));
        if (std::filesystem::exists(tags)) {
            EXPECT_EQ(std::vector<std::string>{"kept"}, Table(tags).All());
        }
    }
}

} // namespace
