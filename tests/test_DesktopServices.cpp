#include "platform/FileStatus.h"
#include "platform/HelpDocument.h"
#include "platform/Settings.h"
#include "platform/ShellOpen.h"
#include "platform/WebAddresses.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using testing_support::ReadFile;
using testing_support::ScopedVariable;
using testing_support::TemporaryFolder;
using testing_support::WriteFile;

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
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a child is left to reap";
        for (int tries = 0; tries < 500 && ReadFile(folder / "opened") != target; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(ReadFile(folder / "opened"), target);
        close(open((folder / "release").c_str(), O_WRONLY));
    }
    const ScopedVariable noOpener("PATH", folder.Path().c_str());
    std::filesystem::remove(folder / "xdg-open");
    EXPECT_FALSE(platform::OpenInDesktop("https://www.orvanta.example/"));
}

// Each case: the file's text and what "HelpPath" reads as.  Without a usable
// setting the help document is the shipped one, which the test runner finds
// in the build tree's bundle beside it.
TEST(Settings, ReadTrimmedValuesAndTheHelpDocumentFollowsThem)
{
    const TemporaryFolder config;
    const ScopedVariable xdg("XDG_CONFIG_HOME", config.Path().c_str());
    ASSERT_EQ(platform::SettingsFilePath(), config / "orvanta-stompset/settings.conf");
    EXPECT_EQ(platform::ReadSetting("HelpPath"), std::nullopt);
    const std::string shipped = platform::HelpDocumentPath();
    EXPECT_TRUE(shipped.ends_with("/bundles/orvanta-stompset.lv2/help/index.html")) << shipped;
    EXPECT_EQ(platform::KindOf(shipped), platform::FileKind::Regular);
    EXPECT_NE(ReadFile(shipped).find("href=\"pedal.html\""), std::string::npos);

    ASSERT_TRUE(std::filesystem::create_directory(config / "orvanta-stompset"));
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"HelpPath=/doc/a b.html\n", "/doc/a b.html"},
        {"# HelpPath=/old\n\t HelpPath \t= /x=y.html \r\n", "/x=y.html"},
        {"HelpPath=/first\nHelpPath=/last", "/last"},
        {"HelpPath=\n", ""},
        {"helppath=/a\nHelpPath /b\n#HelpPath=/c\nHelpPathX=/d\n", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        WriteFile(config / "orvanta-stompset/settings.conf", text);
        EXPECT_EQ(platform::ReadSetting("HelpPath"), value) << text;
        EXPECT_EQ(platform::HelpDocumentPath(), value && !value->empty() ? *value : shipped) << text;
    }
    const ScopedVariable relative("XDG_CONFIG_HOME", "relative/config");
    const ScopedVariable home("HOME", "/home/sam");
    EXPECT_EQ(platform::SettingsFilePath(), "/home/sam/.config/orvanta-stompset/settings.conf");
}

// The addresses as the build settings name them.
TEST(MakerWebAddresses, LieUnderTheConfiguredSiteAndNameTheProgram)
{
    const platform::WebAddresses& web = platform::MakerWebAddresses();
    EXPECT_EQ(web.homePage, ORV_EXPECTED_WEB_SITE);
    EXPECT_EQ(web.tutorialsPage, ORV_EXPECTED_WEB_SITE "tutorials_gfx/");
    EXPECT_EQ(web.updatePage, ORV_EXPECTED_WEB_SITE "update.php?app=" ORV_EXPECTED_APP_ID);
}
