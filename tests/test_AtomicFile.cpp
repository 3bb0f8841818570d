#include "platform/AtomicFile.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

namespace {

bool FailAtOnce(int, std::string_view) { return false; }

} // namespace

TEST(AtomicFile, ReplaceKeepsThePermissionsAndLeavesNoTemporaryFile)
{
    testing_support::TemporaryFolder folder;
    const std::string path = folder.Path() + "/file";
    WriteFile(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(platform::ReplaceFile(path, "new contents"));
    EXPECT_EQ(ReadFile(path), "new contents");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"file"});
}

TEST(AtomicFile, FailedWriteChangesNothing)
{
    testing_support::TemporaryFolder folder;
    const std::string path = folder.Path() + "/file";
    WriteFile(path, "old");
    EXPECT_FALSE(platform::ReplaceFile(path, "new", FailAtOnce));
    EXPECT_FALSE(platform::CreateNewFile(folder.Path() + "/other", "new", FailAtOnce));
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"file"});
    EXPECT_FALSE(platform::ReplaceFile(folder.Path() + "/missing folder/file", "new"));
}

TEST(AtomicFile, CreateNeverReplacesAnExistingFile)
{
    testing_support::TemporaryFolder folder;
    const std::string path = folder.Path() + "/file";
    ASSERT_TRUE(platform::CreateNewFile(path, "first"));
    EXPECT_FALSE(platform::CreateNewFile(path, "second"));
    EXPECT_EQ(ReadFile(path), "first");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"file"});
}

TEST(AtomicFile, ReadTellsMissingFromUnreadable)
{
    testing_support::TemporaryFolder folder;
    std::string contents = "stale";
    EXPECT_EQ(platform::ReadWholeFile(folder.Path() + "/none", contents), platform::ReadResult::Missing);
    EXPECT_EQ(platform::ReadWholeFile(folder.Path(), contents), platform::ReadResult::Failed);
    EXPECT_EQ(contents, "");
    const std::string big(200000, 'x');
    WriteFile(folder.Path() + "/big", big);
    EXPECT_EQ(platform::ReadWholeFile(folder.Path() + "/big", contents), platform::ReadResult::Read);
    EXPECT_EQ(contents, big);
}
