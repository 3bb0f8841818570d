#include "core/XmlText.h"

#include <gtest/gtest.h>

#include <string>

TEST(XmlText, Utf8ValidationFollowsTheEncodingRules)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII <tags>"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xBC \xE2\x82\xAC \xF0\x9F\x8E\xB8 \xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\x80"));             // continuation without lead
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xC3<"));            // the lead byte would swallow the '<'
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // three-byte form cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));     // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(XmlText, NestingDepthCountsElementsOnly)
{
    EXPECT_EQ(ElementNestingDepth("no markup"), 0);
    EXPECT_EQ(ElementNestingDepth("<a><b/><c><d/></c></a>"), 2);
    EXPECT_EQ(ElementNestingDepth("<?xml version=\"1.0\"?><!DOCTYPE x><a><!-- <b><c><d> --></a>"), 1);
    EXPECT_EQ(ElementNestingDepth("<a><![CDATA[<b><c>]]></a>"), 1);
    EXPECT_EQ(ElementNestingDepth("<a x=\"/>\" y='>'><b><c/></b></a>"), 2);
    // Stray end tags cannot hide the elements after them.
    EXPECT_EQ(ElementNestingDepth("</x></x></x><a><b><c>"), 3);
    // The parser ends an unknown "<?" or "<!" node at the first '>'.
    EXPECT_EQ(ElementNestingDepth("<?pi a>b<c><d>?>"), 2);
    // Cut-off text counts what is open.
    EXPECT_EQ(ElementNestingDepth("<a><b><c"), 3);
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<d>";
    EXPECT_EQ(ElementNestingDepth(deep), 5000);
}
