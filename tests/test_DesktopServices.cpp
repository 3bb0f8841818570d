#include "platform/FileStatus.h"
#include "platform/HelpDocument.h"
#include "platform/Settings.h"
#include "platform/ShellOpen.h"
#include "platform/WebAddresses.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using testing_support::ReadFile;
using testing_support::ScopedVariable;
using testing_support::TemporaryFolder;
using testing_support::WriteFile;

namespace {

// The contents of a file once they equal expected, or what it holds after
// five seconds.
std::string AwaitContents(const std::string& path, const std::string& expected)
{
    std::string contents;
    for (int tries = 0; tries < 500 && (contents = ReadFile(path)) != expected; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return contents;
}

} // namespace

// A stand-in opener on the PATH records what it was given and then stays
// open, as a browser may, until the test lets it go: the call has returned
// long before, and has left no child of ours behind.
TEST(OpenInDesktop, PassesTheTargetWholeWithoutWaitingForTheOpener)
{
    const TemporaryFolder folder;
    ASSERT_EQ(mkfifo((folder / "release").c_str(), 0600), 0);
    WriteFile(folder / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/opened\"\n"
                                   "read line < \"${0%/*}/release\"\n");
    ASSERT_EQ(chmod((folder / "xdg-open").c_str(), 0700), 0);
    const ScopedVariable path("PATH", (folder.Path() + ":/usr/bin:/bin").c_str());
    for (const std::string target : {"/home/Sam Jones/help & notes/index.html",
                                     "https://www.orvanta.example/update.php?app=x&v=$HOME"}) {
        ASSERT_TRUE(platform::OpenInDesktop(target));
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
        EXPECT_EQ(AwaitContents(folder / "opened", target), target);
        close(open((folder / "release").c_str(), O_WRONLY));
    }
}

TEST(OpenInDesktop, FailsWhenNoOpenerIsOnThePath)
{
    const TemporaryFolder folder;
    const ScopedVariable path("PATH", folder.Path().c_str());
    EXPECT_FALSE(platform::OpenInDesktop("https://www.orvanta.example/"));
}

// Each case: the file's text, the key asked for, what is read.
TEST(ReadSetting, TakesTrimmedValuesAndSkipsCommentsAndStrayLines)
{
    const TemporaryFolder config;
    const ScopedVariable xdg("XDG_CONFIG_HOME", config.Path().c_str());
    ASSERT_EQ(platform::SettingsFilePath(), config / "orvanta-stompset/settings.conf");
    EXPECT_EQ(platform::ReadSetting("HelpPath"), std::nullopt); // no file yet
    ASSERT_TRUE(std::filesystem::create_directory(config / "orvanta-stompset"));
    const struct {
        const char* text;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"HelpPath=/doc/a b.html\n", "HelpPath", "/doc/a b.html"},
        {"# HelpPath=/old\n\t HelpPath \t= /x=y.html \r\n", "HelpPath", "/x=y.html"},
        {"HelpPath=/first\nHelpPath=/last", "HelpPath", "/last"},
        {"HelpPath=\n", "HelpPath", ""},
        {"helppath=/a\nHelpPath /b\n#HelpPath=/c\nHelpPathX=/d\n", "HelpPath", std::nullopt},
    };
    for (const auto& c : cases) {
        WriteFile(config / "orvanta-stompset/settings.conf", c.text);
        EXPECT_EQ(platform::ReadSetting(c.key), c.value) << c.text;
    }
    const ScopedVariable relative("XDG_CONFIG_HOME", "relative/config");
    const ScopedVariable home("HOME", "/home/sam");
    EXPECT_EQ(platform::SettingsFilePath(), "/home/sam/.config/orvanta-stompset/settings.conf");
}

// The user's own document wins; without one, the build tree's copy of the
// shipped help (the runner lives beside the bundle there) is found.
TEST(HelpDocumentPath, PrefersTheSettingThenFindsTheShippedHelp)
{
    const TemporaryFolder config;
    const ScopedVariable xdg("XDG_CONFIG_HOME", config.Path().c_str());
    const std::string shipped = platform::HelpDocumentPath();
    EXPECT_TRUE(shipped.ends_with("/bundles/orvanta-stompset.lv2/help/index.html")) << shipped;
    EXPECT_EQ(platform::KindOf(shipped), platform::FileKind::Regular);
    EXPECT_NE(ReadFile(shipped).find("href=\"pedal.html\""), std::string::npos);

    ASSERT_TRUE(std::filesystem::create_directory(config / "orvanta-stompset"));
    WriteFile(config / "orvanta-stompset/settings.conf", "HelpPath=\n");
    EXPECT_EQ(platform::HelpDocumentPath(), shipped);
    WriteFile(config / "orvanta-stompset/settings.conf", "HelpPath = /srv/manuals/stompset.pdf\n");
    EXPECT_EQ(platform::HelpDocumentPath(), "/srv/manuals/stompset.pdf");
}

// The addresses as the build settings name them.
TEST(MakerWebAddresses, LieUnderTheConfiguredSiteAndNameTheProgram)
{
    const platform::WebAddresses& web = platform::MakerWebAddresses();
    EXPECT_EQ(web.homePage, ORV_EXPECTED_WEB_SITE);
    EXPECT_EQ(web.tutorialsPage, ORV_EXPECTED_WEB_SITE "tutorials_gfx/");
    EXPECT_EQ(web.updatePage, ORV_EXPECTED_WEB_SITE "update.php?app=" ORV_EXPECTED_APP_ID);
}
