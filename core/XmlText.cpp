#include "core/XmlText.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr char32_t kLargestCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationBits = 0x80;
constexpr int kContinuationShift = 6;
constexpr unsigned char kDelete = 0x7F;
// C1 controls, U+0080 .. U+009F, are 0xC2 followed by 0x80 .. 0x9F in UTF-8.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kLastC1Trail = 0x9F;

bool IsXmlLineOrTab(char c) { return c == '\t' || c == '\n' || c == '\r'; }

// A lead byte announces the length of its sequence; each length has a
// smallest code point, below which the form is an illegal overlong one.
struct MultiByteForm {
    unsigned char leadMask;
    unsigned char leadBits;
    size_t length;
    char32_t smallest;
};
constexpr MultiByteForm kMultiByteForms[] = {
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

bool StartsWith(std::string_view text, size_t at, std::string_view prefix)
{
    return text.compare(at, prefix.size(), prefix) == 0;
}

bool IsXmlWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The position just after the first end at or after from; npos when the text
// ends first.
size_t After(std::string_view text, size_t from, std::string_view end)
{
    const size_t found = text.find(end, from);
    return found == std::string_view::npos ? found : found + end.size();
}

// The position of the '>' that closes a start tag opening at from, skipping
// quoted attribute values, which may hold '>' themselves.
size_t StartTagEnd(std::string_view text, size_t from)
{
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string_view::npos;
}

void AppendEscaped(std::string& out, std::string_view text, bool inAttribute)
{
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            out += inAttribute ? "&quot;" : "\"";
            break;
        default:
            if (static_cast<unsigned char>(c) < kFirstPrintable) {
                // Line breaks and tabs too: read back raw they could be
                // normalised or taken for formatting.
                char reference[8];
                std::snprintf(reference, sizeof reference, "&#x%02X;", unsigned(static_cast<unsigned char>(c)));
                out += reference;
            } else {
                out += c;
            }
        }
    }
}

class DocumentPrinter : public TiXmlVisitor {
public:
    std::string text;

    bool Visit(const TiXmlDeclaration& declaration) override
    {
        text += "<?xml";
        AppendAttribute("version", declaration.Version());
        AppendAttribute("encoding", declaration.Encoding());
        AppendAttribute("standalone", declaration.Standalone());
        text += "?>\n";
        return true;
    }

    bool VisitEnter(const TiXmlElement& element, const TiXmlAttribute* attribute) override
    {
        BeginLine();
        text += '<';
        text += element.Value();
        for (; attribute; attribute = attribute->Next())
            AppendAttribute(attribute->Name(), attribute->Value());
        if (!element.FirstChild()) {
            text += "/>";
            EndLine();
            return true;
        }
        text += '>';
        if (inlineLevel > 0 || HoldsText(element)) {
            ++inlineLevel;
        } else {
            EndLine();
            ++depth;
        }
        return true;
    }

    bool VisitExit(const TiXmlElement& element) override
    {
        if (!element.FirstChild())
            return true;
        if (inlineLevel > 0) {
            --inlineLevel;
        } else {
            --depth;
            BeginLine();
        }
        text += "</";
        text += element.Value();
        text += '>';
        EndLine();
        return true;
    }

    bool Visit(const TiXmlText& node) override
    {
        const std::string_view value = node.Value();
        // The parser drops a text made of whitespace alone unless it comes
        // as a character-data section.
        const bool blank = std::all_of(value.begin(), value.end(), IsXmlWhiteSpace);
        if (node.CDATA() || blank) {
            text += "<![CDATA[";
            text += value;
            text += "]]>";
        } else {
            AppendEscaped(text, value, false);
        }
        return true;
    }

    bool Visit(const TiXmlComment& comment) override
    {
        BeginLine();
        text += "<!--";
        text += comment.Value();
        text += "-->";
        EndLine();
        return true;
    }

    bool Visit(const TiXmlUnknown& unknown) override
    {
        BeginLine();
        text += '<';
        text += unknown.Value();
        text += '>';
        EndLine();
        return true;
    }

private:
    static bool HoldsText(const TiXmlElement& element)
    {
        for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling())
            if (child->ToText())
                return true;
        return false;
    }

    void AppendAttribute(const char* name, const char* value)
    {
        if (!value || !*value)
            return;
        text += ' ';
        text += name;
        text += "=\"";
        AppendEscaped(text, value, true);
        text += '"';
    }

    // Inside an element that holds text every byte counts, so nothing is
    // added there for layout.
    void BeginLine()
    {
        if (inlineLevel == 0)
            text.append(size_t(depth), '\t');
    }
    void EndLine()
    {
        if (inlineLevel == 0)
            text += '\n';
    }

    int depth = 0;
    int inlineLevel = 0;
};

} // namespace

bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const auto form = std::find_if(std::begin(kMultiByteForms), std::end(kMultiByteForms),
                                       [lead](const MultiByteForm& f) { return (lead & f.leadMask) == f.leadBits; });
        if (form == std::end(kMultiByteForms) || text.size() - i < form->length)
            return false;
        char32_t codePoint = lead & ~form->leadMask;
        for (size_t k = 1; k < form->length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & kContinuationMask) != kContinuationBits)
                return false;
            codePoint = (codePoint << kContinuationShift) | (next & ~kContinuationMask);
        }
        if (codePoint < form->smallest || codePoint > kLargestCodePoint ||
            (codePoint >= kFirstSurrogate && codePoint <= kLastSurrogate))
            return false;
        i += form->length;
    }
    return true;
}

bool HasCharacterXmlCannotHold(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < kFirstPrintable && !IsXmlLineOrTab(c);
    });
}

bool HasControlCharacter(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < kFirstPrintable || byte == kDelete)
            return true;
        if (byte == kC1Lead && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= kLastC1Trail &&
            static_cast<unsigned char>(text[i + 1]) >= kContinuationBits)
            return true;
    }
    return false;
}

int ElementNestingDepth(std::string_view text)
{
    int depth = 0;
    int deepest = 0;
    size_t at = text.find('<');
    while (at != std::string_view::npos) {
        size_t next = std::string_view::npos;
        if (StartsWith(text, at, "<!--")) {
            next = After(text, at + 4, "-->");
        } else if (StartsWith(text, at, "<![CDATA[")) {
            next = After(text, at, "]]>");
        } else if (StartsWith(text, at, "</")) {
            depth = std::max(depth - 1, 0);
            next = After(text, at, ">");
        } else if (StartsWith(text, at, "<!") || StartsWith(text, at, "<?")) {
            next = After(text, at, ">");
        } else {
            const size_t end = StartTagEnd(text, at + 1);
            if (end == std::string_view::npos || text[end - 1] != '/')
                deepest = std::max(deepest, ++depth);
            if (end != std::string_view::npos)
                next = end + 1;
        }
        at = next == std::string_view::npos ? next : text.find('<', next);
    }
    return deepest;
}

std::string XmlDocumentText(const TiXmlDocument& document)
{
    DocumentPrinter printer;
    document.Accept(&printer);
    return printer.text;
}
