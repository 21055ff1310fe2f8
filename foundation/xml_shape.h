#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Walks a document as TinyXML's parser does, without building it, to learn how deep its
// elements nest before the recursive parser meets them. Where the parser would stop at an error,
// the walk stops too: nothing after that point is parsed. On the way it finds what the parser
// would silently change: an '&' that begins no reference (the parser drops it), a '<' in an
// element's text that begins no tag (the parser drops the text up to the next '>'), and a
// reference to no character (the parser writes broken UTF-8 or a NUL that ends the text).
// It counts what costs the parser far more than its bytes (tags and texts, attributes in all,
// '&' that begin no reference), and stops at their limits (see xml_file.h).
// The text is valid UTF-8 without NULs (see CXmlDecoder) and must outlive the walk.
class CXmlShape
{
public:
    explicit CXmlShape(const std::string& text) : CXmlShape(text.c_str(), text.size()) {}
    // Text of that many characters that ends with a NUL after them.
    CXmlShape(const char* text, size_t length) : m_start(text), m_p(m_start), m_stop(text + length) {}

    // Empty when the document is within the limits of xml_file.h; else why not.
    std::string Check();
    // Why a document with more than kXmlMaxNodes tags and texts is refused.
    static std::string TooManyNodes();
    // Not well-formed text that refuses the document, and where; empty when there is none.
    const std::string& GetError() const { return m_error; }
    size_t GetErrorOffset() const { return m_errorAt; }
    // Where an '&' stands that begins no reference, to be kept as written.
    const std::vector<size_t>& GetRawAmpersands() const { return m_rawAmpersands; }

    // What the parser makes of markup by its first characters, at most kLongestOpening of them.
    enum class Markup
    {
        kDeclaration,  // "<?xml"
        kComment,
        kCdata,
        kOther,    // passed over up to the next '>': "<!DOCTYPE", "<?pi", and at the top "<1"
        kElement,  // an element's start tag
    };
    static constexpr size_t kLongestOpening = 9;  // "<![CDATA["
    // The bytes of the character at the very start of a document that the parser passes as white
    // space (a byte-order mark, or U+FFFE or U+FFFF, which are left only there): 3, else 0. The
    // walk passes it too, so that a document behind one is held to the limits.
    static size_t MarkAtStart(const char* p);
    // The kind of the markup at p, its '<', at the top of the document or within an element. p
    // holds kLongestOpening characters, or the text ends (with its NUL) sooner.
    static Markup KindOf(const char* p, bool top);
    // What ends a comment, CDATA section or other markup, and how many characters past its '<'
    // the parser begins to look for it.
    static const char* EndOf(Markup kind, size_t& from);
    // Where that end text first stands from from on, before stop; null where it does not.
    static const char* FindEnd(const char* from, const char* stop, const char* end);
    // An attribute of a start tag: where its name and its value stand, from the tag's '<' on (a
    // quoted value without its quotes).
    struct CAttribute
    {
        size_t name = 0;
        size_t nameEnd = 0;
        size_t value = 0;
        size_t valueEnd = 0;
        bool quoted = false;
    };
    // Where the declaration, or the start tag with its name (and closed for "/>"), at the start of
    // the text ends, just past its '>'. 0 where the text ends before it does, or where the parser
    // fails on it (which only more text tells apart); for a start tag std::string::npos where the
    // parser fails on it however the text goes on, or where it is beyond a limit (Check refuses
    // the document). attributes, where given, gets the tag's attributes.
    size_t MeasureDeclaration();
    size_t MeasureStartTag(std::string& name, bool& closed, std::vector<CAttribute>* attributes = nullptr);
    // The value of an attribute as the parser reads it: a quoted one with its references decoded
    // (an '&' that begins none kept as written), one without quotes as it stands. Only for a
    // value this walk measured without an error.
    static std::string ValueOf(const char* begin, const char* end, bool quoted);

private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsNameStart(char c);
    static bool IsNameChar(char c);
    static bool StartsWith(const char* p, const char* tag);
    static bool StartsWithIgnoringCase(const char* p, const char* tag);

    static const char* SkipSpace(const char* p);
    static const char* SkipName(const char* p);
    // Text up to the end character, its references read. Null where the parser fails, the text
    // ends first, or the text refuses the document.
    const char* SkipText(const char* p, char end);
    const char* SkipReference(const char* p);
    // The reference at p, its '&': past it, with the character it stands for in code (any above
    // U+10FFFF as 0x110000); null where it is none the parser knows.
    static const char* ReadReference(const char* p, uint32_t& code);
    // An attribute's name, "=" and value; null where the parser fails.
    const char* SkipAttribute(const char* p, CAttribute* span = nullptr);
    const char* SkipDeclaration(const char* p);
    // Past a declaration, comment, CDATA section or other markup that is no tag of an element, as
    // the parser passes it: null where it never ends, p itself where a tag begins.
    const char* SkipOtherMarkup(const char* p, size_t depth);
    // Past the attributes of a start tag, to the '>' or '/' that ends it; null where the parser
    // fails or the text ends. count gets their number, counted to one past the limit.
    const char* SkipAttributes(const char* p, size_t& count, std::vector<CAttribute>* spans = nullptr);
    // Null, with the limit noted: the walk is over and Check refuses the document.
    const char* Exceed(const std::string& reason);
    // Check's walk, which a limit Exceed notes ends without a reason.
    std::string Walk();

    // Past the end text, or null when it never comes.
    const char* SkipPast(const char* p, const char* end) const;
    // Null, with the error noted.
    const char* Refuse(const char* at, const std::string& error);

    const char* m_start;
    const char* m_p;
    const char* m_stop;  // the NUL that ends the text
    std::vector<size_t> m_rawAmpersands;
    size_t m_attributes = 0;
    std::string m_exceeded;
    std::string m_error;
    size_t m_errorAt = 0;
};
