#include "cli/TextMatch.h"

#include <gtest/gtest.h>

using namespace text_match;

TEST(TextMatch, EditDistanceCountsTypingMistakes)
{
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(EditDistance("Depht", "Depth"), 1u); // a swap of neighbours is one mistake
    EXPECT_EQ(EditDistance("TREMOLO", "tremolo"), 0u);
    EXPECT_EQ(EditDistance("", "Tap"), 3u);
    EXPECT_EQ(EditDistance("ca", "abc"), 3u);
}

TEST(TextMatch, CloseMatchesAreTheNearestOnesThenThoseStartingAlike)
{
    const std::vector<std::string> entries = {"Off", "1/1", "1/2", "1/4", "1/4 T", "1/8", "1/8 T", "1/16"};
    EXPECT_EQ(CloseMatches("1/5", entries), (std::vector<std::string>{"1/1", "1/2", "1/4"}));
    EXPECT_EQ(CloseMatches("1/8t", entries, 2), (std::vector<std::string>{"1/8", "1/8 T"}));
    EXPECT_EQ(CloseMatches("--temp", {"--help", "--tempo", "--block"}), (std::vector<std::string>{"--tempo"}));
    EXPECT_EQ(CloseMatches("Sync", {"Tempo", "Sync coeff"}), (std::vector<std::string>{"Sync coeff"}));
    EXPECT_TRUE(CloseMatches("Volume", {"Tempo", "Depth"}).empty());
}

// One suggestion and none are shown through the program's own messages.
TEST(TextMatch, TwoSuggestionsReadAsOneLine)
{
    EXPECT_EQ(Suggestion("1/5", {"1/1", "1/2"}), "; did you mean '1/1' or '1/2'?");
}

TEST(TextMatch, ArgumentsAreShownShortAndWithoutControls)
{
    // One character over the limit is cut; the limit itself is not.
    EXPECT_EQ(Shown(std::string(61, 'x')), "'" + std::string(60, 'x') + "\xE2\x80\xA6'");
    EXPECT_EQ(Shown(std::string(60, 'x')), "'" + std::string(60, 'x') + "'");
    // Characters, not bytes, are counted, and none is cut in two.
    EXPECT_EQ(Shown("\xC3\xBC\xC3\xBC\xC3\xBC", 2), "'\xC3\xBC\xC3\xBC\xE2\x80\xA6'");
    EXPECT_EQ(Shown("a\nb\tc\x1B[2J\x7F"), "'a\\nb\\tc\\x1B[2J\\x7F'");
    EXPECT_EQ(EscapeControls("csi \xC2\x9B, nbsp \xC2\xA0"), "csi \\u009B, nbsp \xC2\xA0");
    EXPECT_EQ(Cut("0123456789", 4), "0123\xE2\x80\xA6");
}
