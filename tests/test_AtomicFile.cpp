#include "platform/AtomicFile.h"
#include "platform/FileStatus.h"

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

// What the renderer and the preset file ask of a path before they write.
TEST(FileStatus, PathsAreTakenForTheFilesTheyLeadTo)
{
    testing_support::TemporaryFolder folder;
    const std::string file = folder / "file";
    WriteFile(file, "x");
    fs::create_symlink("file", folder / "link");
    fs::create_symlink("link", folder / "chain");
    fs::create_symlink("nowhere", folder / "dangling");
    EXPECT_EQ(platform::FinalLinkTarget(folder / "chain"), file);
    EXPECT_EQ(platform::FinalLinkTarget(folder / "dangling"), folder / "nowhere");
    EXPECT_FALSE(platform::SameFile(file, folder / "dangling"));
    EXPECT_EQ(platform::KindOf(folder / "dangling"), platform::FileKind::Missing);
    EXPECT_EQ(platform::KindOf(folder.Path()), platform::FileKind::Directory);
    EXPECT_EQ(platform::KindOf("/dev/null"), platform::FileKind::Other);

    // No write bit means read-only, for the superuser too.
    const std::pair<unsigned, bool> kModes[] = {{0644u, false}, {0200u, false}, {0444u, true}, {0u, true}};
    for (const auto& [mode, protectedFile] : kModes) {
        fs::permissions(file, fs::perms(mode));
        EXPECT_EQ(platform::IsWriteProtected(folder / "chain"), protectedFile) << std::oct << mode;
        EXPECT_EQ(platform::PermissionsOf(file), mode);
    }
    EXPECT_FALSE(platform::IsWriteProtected(folder / "missing"));
}
