// SPDX-License-Identifier: MIT
// Files the program reads and writes: bounded reads, and saves that lose nothing
// and respect the file they replace.

#include "TestFixtures.h"
#include "document/SearchDocument.h"
#include "platform/FileUtil.h"
#include "results/ResultsPage.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const std::string& strPath)
{
    struct stat st {};
    ::stat(strPath.c_str(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(ReadFileBytes, OnlyRegularFilesUpToTheLimit)
{
    qtest::CTempDir dir;
    std::string bytes;
    qtest::WriteFile(dir.File("small"), "12345");
    EXPECT_TRUE(ReadFileBytes(dir.File("small"), bytes, 5));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(ReadFileBytes(dir.File("small"), bytes, 4));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ReadFileBytes("/dev/zero", bytes, 1u << 30)); // would never end
    EXPECT_FALSE(ReadFileBytes(dir.GetPath(), bytes, 1u << 20));
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(dir.File("fifo"), bytes, 1u << 20)); // and does not wait for a writer
    EXPECT_FALSE(ReadFileBytes(dir.File("missing"), bytes, 1u << 20));

    // A document larger than 64 MiB is not opened (a sparse file: nothing is written).
    CSearchDocumentData data;
    const std::string strHuge = dir.File("huge.qrl");
    qtest::WriteFile(strHuge, "");
    ASSERT_EQ(::truncate(strHuge.c_str(), static_cast<off_t>(kMaxDocumentBytes) + 1), 0);
    EXPECT_FALSE(LoadSearchDocument(strHuge, data));
    EXPECT_FALSE(LoadSearchDocument("/dev/zero", data));
}

TEST(WriteFileAtomically, FollowsLinksKeepsModesAndRefusesReadOnlyFiles)
{
    qtest::CTempDir dir;
    // Through a symbolic link: the target is replaced, the link stays a link.
    qtest::WriteFile(dir.File("target.qrl"), "old");
    std::filesystem::create_symlink("target.qrl", dir.File("link.qrl"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("link.qrl"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.qrl")));
    EXPECT_EQ(qtest::ReadFile(dir.File("target.qrl")), "new");

    // The mode of the replaced file stays; a new file honours the umask.
    ::chmod(dir.File("target.qrl").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir.File("target.qrl"), "newer"));
    EXPECT_EQ(ModeOf(dir.File("target.qrl")), 0640u);
    const mode_t nOldMask = ::umask(077);
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.qrl"), "x"));
    ::umask(nOldMask);
    EXPECT_EQ(ModeOf(dir.File("fresh.qrl")), 0600u);

    // A read-only document is not replaced.
    ::chmod(dir.File("target.qrl").c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomically(dir.File("target.qrl"), "lost"));
    EXPECT_EQ(qtest::ReadFile(dir.File("target.qrl")), "newer");

    // What a killed save left behind is replaced by the next save.
    qtest::WriteFile(GetPartFilePath(dir.File("fresh.qrl")), "half a docu");
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.qrl"), "whole"));
    EXPECT_FALSE(std::filesystem::exists(GetPartFilePath(dir.File("fresh.qrl"))));
    EXPECT_EQ(qtest::ReadFile(dir.File("fresh.qrl")), "whole");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.GetPath()), {}), 3); // no leftovers
}

TEST(ResultsPage, ALinkPlantedInItsPlaceIsNotFollowed)
{
    qtest::CTempDir dir;
    qtest::WriteFile(dir.File("precious"), "keep me");
    std::filesystem::create_symlink(dir.File("precious"), dir.File("questrel.htm"));
    EXPECT_FALSE(AppendToResultsPage(dir.File("questrel.htm"), "<html>page</html>"));
    EXPECT_EQ(qtest::ReadFile(dir.File("precious")), "keep me");
    ResetResultsPage(dir.File("questrel.htm"));
    EXPECT_TRUE(AppendToResultsPage(dir.File("questrel.htm"), "<html>page</html>"));

    // A FIFO in its place fails at once instead of holding the program.
    ResetResultsPage(dir.File("questrel.htm"));
    ASSERT_EQ(::mkfifo(dir.File("questrel.htm").c_str(), 0666), 0);
    EXPECT_FALSE(AppendToResultsPage(dir.File("questrel.htm"), "<html>page</html>"));
    // Another user's file receives nothing (only root can make one here).
    if (::geteuid() == 0) {
        ResetResultsPage(dir.File("questrel.htm"));
        qtest::WriteFile(dir.File("questrel.htm"), "theirs");
        ASSERT_EQ(::chown(dir.File("questrel.htm").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(AppendToResultsPage(dir.File("questrel.htm"), "<html>page</html>"));
        EXPECT_EQ(qtest::ReadFile(dir.File("questrel.htm")), "theirs");
    }
}
