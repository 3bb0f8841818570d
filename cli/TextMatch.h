#pragma once
#include <string>
#include <string_view>
#include <vector>

// Loose comparisons of what a user typed with the names the program knows:
// effects, parameters, presets and list entries are all matched without
// regard to case, and a miss names the close candidates.
namespace text_match {

std::string ToLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string_view Trim(std::string_view text);

// Levenshtein distance between the lower-case forms of a and b.
size_t EditDistance(std::string_view a, std::string_view b);

// The candidates nearest to word, closest first, at most maxCount of them;
// only those within an edit distance that grows with the word's length, or
// that start with what was typed, count as close.
std::vector<std::string> CloseMatches(std::string_view word, const std::vector<std::string>& candidates,
                                      size_t maxCount = 3);

// "; did you mean 'A' or 'B'?" for the close matches, or nothing.
std::string Suggestion(std::string_view word, const std::vector<std::string>& candidates);

// What a user typed, as an error message repeats it: quoted, cut after
// kShownCharacters characters with "…", and with control characters
// written as escapes ("\n", "\x01"), so that neither a huge argument nor a
// terminal control sequence reaches the terminal.
// Paths get more room: their end, the file name, matters.
constexpr size_t kShownCharacters = 60;
constexpr size_t kShownPathCharacters = 240;
std::string Shown(std::string_view text, size_t characters = kShownCharacters);
// The same without the quotes.
std::string Cut(std::string_view text, size_t characters = kShownCharacters);
inline std::string ShownPath(std::string_view path) { return Shown(path, kShownPathCharacters); }

// The text with every control character (C0, DEL and C1) written as an
// escape.
std::string EscapeControls(std::string_view text);

// 'a', 'b', 'c': each text quoted, separated by commas.
std::string QuotedList(const std::vector<std::string>& texts);

} // namespace text_match
