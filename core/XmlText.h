#pragma once
#include <string>
#include <string_view>

class TiXmlDocument;

// What the XML library leaves to its user: an exact printer, and the checks
// that keep text away from the parser when it would misread it or recurse
// without bound.

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).  The parser reads a multi-byte character by its
// lead byte alone, so a broken sequence could swallow the '<' of the next tag
// or step over the end of the text.
bool IsValidUtf8(std::string_view text);

// True when the text holds a character that XML 1.0 cannot carry, not even
// as a character reference: a C0 control other than tab, line feed and
// carriage return.  A document holding one is not well-formed.
bool HasCharacterXmlCannotHold(std::string_view text);

// True when the UTF-8 text holds a control character: C0, DEL or C1.
bool HasControlCharacter(std::string_view text);

// The deepest element nesting the text could make the parser recurse into.
// Never below the real depth of a well-formed document; malformed markup may
// count deeper than the parser would go.
int ElementNestingDepth(std::string_view text);

// The document as text: one element per line, indented by tabs, except that
// an element holding text is written on one line, its content untouched, so
// that reading the result gives back the same text nodes.  Markup characters,
// control characters and whitespace-only texts are written so that the parser
// reads back exactly the same bytes.
std::string XmlDocumentText(const TiXmlDocument& document);
