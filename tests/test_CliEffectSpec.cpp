#include "cli/CliError.h"
#include "cli/EffectLookup.h"
#include "cli/EffectSpec.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CliError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(EffectSpec, MalformedFieldsAreUsageErrors)
{
    EXPECT_EQ(ErrorOf([] { ParseEffectSpec(":Depth=3"); }), "effect argument ':Depth=3': no effect named");
    EXPECT_EQ(ErrorOf([] { ParseEffectSpec("TR::Depth=3"); }),
              "effect argument 'TR::Depth=3': '' is not of the form PARAM=VALUE, preset=NAME or bypass");
    EXPECT_EQ(ErrorOf([] { ParseEffectSpec("TR:Depth="); }),
              "effect argument 'TR:Depth=': 'Depth=' needs both a name and a value");
    EXPECT_EQ(ErrorOf([] { ParseEffectSpec("TR:preset=Gap:preset=Default"); }),
              "effect argument 'TR:preset=Gap:preset=Default': more than one preset");
    try {
        ParseEffectSpec("TR:Depth");
        FAIL();
    } catch (const CliError& error) {
        EXPECT_EQ(error.ExitStatus(), CliError::kUsage);
    }
}

TEST(EffectLookup, FindsEffectsByAnyOfTheirNamesOrTheIdentifier)
{
    for (const char* text : {"TR", "tr", "TR - Tremolo", "tremolo", "180", " 180 "})
        EXPECT_EQ(FindEffect(text).effectId, 180) << text;
    EXPECT_EQ(FindEffect("SPG").effectId, 165);
    EXPECT_EQ(FindEffect("bass flanger").effectId, 70);
    EXPECT_EQ(ErrorOf([] { FindEffect("Tremolp"); }),
              "unknown effect 'Tremolp'; did you mean 'Tremolo'? (see 'stompset list')");
    EXPECT_EQ(ErrorOf([] { FindEffect("181"); }), "unknown effect '181' (see 'stompset list')");
    EXPECT_EQ(CategoryName(kCategorySoundField), "sound field");
    EXPECT_EQ(CategoryName(kCategoryNone), "none");
    EXPECT_EQ(CategoryName(kCategoryEQ | kCategoryDelay), "EQ, delay");
}
