#include "cli/TextMatch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <numeric>

namespace text_match {

namespace {

// How many edits a typing mistake may take: one for very short names, about
// a third of the word for longer ones.
constexpr size_t kMinTolerance = 1;
constexpr size_t kToleranceDivisor = 3;

constexpr const char* kEllipsis = "\xE2\x80\xA6"; // U+2026, in UTF-8
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationBits = 0x80;
// C1 controls, U+0080 .. U+009F, are 0xC2 followed by 0x80 .. 0x9F in UTF-8;
// some terminals obey them like the C0 escape.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kLastC1Trail = 0x9F;

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & kContinuationMask) == kContinuationBits;
}

// The first count characters of UTF-8 text (bytes that are no character
// count one each), never cutting a character in two.
std::string_view FirstCharacters(std::string_view text, size_t count)
{
    size_t end = 0;
    for (size_t characters = 0; end < text.size() && characters < count; ++characters) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end]))
            ++end;
    }
    return text.substr(0, end);
}

std::string ControlEscape(char c)
{
    switch (c) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
        return escape;
    }
    }
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return prefix.size() <= text.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view text)
{
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

size_t EditDistance(std::string_view a, std::string_view b)
{
    // Optimal string alignment: insertions, deletions, substitutions and
    // swaps of two neighbours, the usual typing mistakes, each count one.
    // Three rows of the dynamic-programming table suffice.
    std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
    std::iota(previous.begin(), previous.end(), size_t(0));
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = Lower(a[i - 1]) == Lower(b[j - 1]);
            row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return previous[b.size()];
}

std::vector<std::string> CloseMatches(std::string_view word, const std::vector<std::string>& candidates,
                                      size_t maxCount)
{
    // The nearest candidates within the tolerance, then those that begin
    // with what was typed.
    const size_t tolerance = std::max(kMinTolerance, word.size() / kToleranceDivisor);
    // Lengths further apart than the tolerance are too far already; skipping
    // them keeps a huge argument from costing its length times every name.
    const auto distance = [word, tolerance](const std::string& candidate) {
        const size_t apart = word.size() > candidate.size() ? word.size() - candidate.size()
                                                            : candidate.size() - word.size();
        return apart > tolerance ? tolerance + 1 : EditDistance(word, candidate);
    };
    size_t best = tolerance;
    for (const std::string& candidate : candidates)
        best = std::min(best, distance(candidate));
    std::vector<std::string> matches;
    const auto add = [&matches, maxCount](const std::string& candidate) {
        if (matches.size() < maxCount && std::find(matches.begin(), matches.end(), candidate) == matches.end())
            matches.push_back(candidate);
    };
    for (const std::string& candidate : candidates) {
        if (distance(candidate) == best)
            add(candidate);
    }
    for (const std::string& candidate : candidates) {
        if (!word.empty() && StartsWithIgnoreCase(candidate, word))
            add(candidate);
    }
    return matches;
}

std::string Suggestion(std::string_view word, const std::vector<std::string>& candidates)
{
    const std::vector<std::string> matches = CloseMatches(word, candidates);
    if (matches.empty())
        return {};
    std::string text = "; did you mean ";
    for (size_t i = 0; i < matches.size(); ++i) {
        if (i > 0)
            text += i + 1 == matches.size() ? " or " : ", ";
        text += "'" + matches[i] + "'";
    }
    return text + "?";
}

std::string Shown(std::string_view text, size_t characters)
{
    std::string shown = "'";
    shown.append(Cut(text, characters)).append("'");
    return shown;
}

std::string Cut(std::string_view text, size_t characters)
{
    const std::string_view kept = FirstCharacters(text, characters);
    return EscapeControls(kept).append(kept.size() < text.size() ? kEllipsis : "");
}

std::string EscapeControls(std::string_view text)
{
    std::string escaped;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == kC1Lead && next >= kContinuationBits && next <= kLastC1Trail) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", unsigned(next));
            escaped += escape;
            ++i;
        } else if (byte < kFirstPrintable || byte == kDelete) {
            escaped += ControlEscape(text[i]);
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

std::string QuotedList(const std::vector<std::string>& texts)
{
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "'" : ", '") + text + "'";
    return list;
}

} // namespace text_match
