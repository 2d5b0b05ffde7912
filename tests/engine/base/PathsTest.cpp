#include "engine/base/Paths.h"
#include "engine/base/UserFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Ostrel;

TEST(Paths, BackslashesInDataReadAsSeparators) {
    EXPECT_EQ(NormalizeSeparators("rsc\\level\\Temple-Entry.xrm"), "rsc/level/Temple-Entry.xrm");
    EXPECT_EQ(JoinPath("a\\", "\\b"), "a/b");
    EXPECT_EQ(JoinPath("a", "b\\c"), "a/b/c");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(JoinPath("/", "b"), "/b");
    EXPECT_EQ(JoinPath("a", ""), "a");
}

class UserFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lv-userfolder-XXXXXX";
        m_root = mkdtemp(pattern);
        const char* old = std::getenv("XDG_DATA_HOME");
        if (old) m_old = old;
        const char* home = std::getenv("HOME");
        if (home) m_home = home;
    }
    void TearDown() override {
        if (m_old.empty()) unsetenv("XDG_DATA_HOME"); else setenv("XDG_DATA_HOME", m_old.c_str(), 1);
        if (!m_home.empty()) setenv("HOME", m_home.c_str(), 1);
        std::system(("rm -rf '" + m_root + "'").c_str());
    }
    std::string m_root, m_old, m_home;
};

TEST_F(UserFolderTest, CreatedWithItsParentsUnderXdgDataHome) {
    std::string base = m_root + "/deep/er";
    setenv("XDG_DATA_HOME", base.c_str(), 1);
    std::string folder = EnsureUserFolder("Brisa and Qil Lantern Vaults");
    EXPECT_EQ(folder, base + "/Brisa and Qil Lantern Vaults");
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    // A second call finds the folder already there.
    EXPECT_EQ(EnsureUserFolder("Brisa and Qil Lantern Vaults"), folder);
}

TEST_F(UserFolderTest, FallsBackToHomeAndReportsUncreatableFolders) {
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", m_root.c_str(), 1);
    EXPECT_EQ(UserDataBaseFolder(), m_root + "/.local/share");

    // A plain file where a parent folder should be: creation fails, empty answer.
    std::string blocker = m_root + "/file";
    std::system(("touch '" + blocker + "'").c_str());
    setenv("XDG_DATA_HOME", blocker.c_str(), 1);
    EXPECT_EQ(EnsureUserFolder("x"), "");
}
