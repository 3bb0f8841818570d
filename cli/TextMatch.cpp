#include "cli/TextMatch.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace text_match {

namespace {

// How many edits a typing mistake may take: one for very short names, about
// a third of the word for longer ones.
constexpr size_t kMinTolerance = 1;
constexpr size_t kToleranceDivisor = 3;

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

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
    size_t best = tolerance;
    for (const std::string& candidate : candidates)
        best = std::min(best, EditDistance(word, candidate));
    std::vector<std::string> matches;
    const auto add = [&matches, maxCount](const std::string& candidate) {
        if (matches.size() < maxCount && std::find(matches.begin(), matches.end(), candidate) == matches.end())
            matches.push_back(candidate);
    };
    for (const std::string& candidate : candidates) {
        if (EditDistance(word, candidate) == best)
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

std::string QuotedList(const std::vector<std::string>& texts)
{
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "'" : ", '") + text + "'";
    return list;
}

} // namespace text_match
