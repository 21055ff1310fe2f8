#pragma once

#include "foundation/xml_converter.h"

#include <cstddef>
#include <memory>
#include <string>

struct CXmlRead;

// Turns the bytes of an XML document into the text the parser is given, piece by piece as they
// are read: decoded once, by what the document says of itself (see ReadXmlFile); line ends as
// TinyXML's own file reader leaves them (CR LF and a lone CR become LF); ended at the first NUL,
// where the parser stops anyway; and made valid UTF-8, a stray byte read as Windows-1252, since
// TinyXML steps over as many bytes as a lead byte announces. The characters U+FEFF, U+FFFE and
// U+FFFF, which the parser skips as white space in some places, become U+FFFD past the very
// start. The pieces together are the text the whole document decodes to at once, wherever the
// document is cut into them.
//
// The text is bounded as it is made, for an encoding may make many characters of a byte (TSCII
// makes four, 12 bytes of UTF-8, of some): the bytes are decoded a slice at a time, what the
// converter makes of a slice is weighed after each of its calls, and once the text passes its
// bound nothing more is. What a document costs is then the bound and one slice's text at most,
// however it is encoded. A converter that neither takes input nor gives output, with room to
// give and more than an unfinished character to take, makes the bytes undecodable.
class CXmlDecoder
{
public:
    // The most bytes held while the first ones do not yet say how the document is encoded, as
    // while it begins with white space.
    static constexpr size_t kMaxHeld = 1024 * 1024;
    // What it reads of a declaration past the white space a document of single bytes begins with
    // before it tells how the text is encoded: a kilobyte, and the "?>" that ends it. Whoever
    // hands it the first bytes whole hands it this much past the white space.
    static constexpr size_t kDeclarationSpan = 1026;
    // The bytes decoded at a time.
    static constexpr size_t kSlice = 64 * 1024;

    // maxText: the bytes of text past which no more is decoded; maxConvertedText the same where
    // the C library converts the bytes (every encoding but UTF-8 and Windows-1252, UTF-16 and
    // UTF-32 among them), which costs up to 25 times as much a byte of text. open, where given,
    // stands in for the C library's converter.
    CXmlDecoder(size_t maxText, size_t maxConvertedText, XmlConverterOpener open = nullptr);
    ~CXmlDecoder();
    CXmlDecoder(const CXmlDecoder&) = delete;
    CXmlDecoder& operator=(const CXmlDecoder&) = delete;

    // Appends the text of the next bytes to out; with last they end the document. Bytes that may
    // belong to a character or line end the next ones complete are held until those come. False,
    // with the status and reason in read, where the bytes cannot be decoded (kUndecodable) or the
    // encoding is not known within kMaxHeld bytes (kRefused); read's notice says what the
    // decoding set right.
    bool Decode(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read);
    // Whether a NUL has ended the text: nothing more is decoded.
    bool HasEnded() const { return m_ended; }
    // Whether the text has passed its bound: nothing more is decoded, and the document is no
    // longer the one its bytes make.
    bool IsFull() const { return m_full; }
    // The bound of the text, once the first bytes have said how the document is encoded.
    size_t GetMaxText() const { return m_maxText; }
    // Whether the C library converts the bytes, once the first ones have said how they are
    // encoded.
    bool Converts() const { return m_converter != nullptr; }

private:
    struct CConverter;

    bool Choose(CXmlRead& read);
    // Decodes the bytes a slice at a time while the text is within its bound.
    bool PassSlices(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read);
    bool Pass(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read);
    // Line ends, the end at a NUL, and valid UTF-8, from out[from] on.
    void Finish(std::string& out, size_t from, bool last);

    XmlConverterOpener m_open;
    std::string m_held;  // the first bytes, until they say how they are encoded
    bool m_chosen = false;
    int m_kind = 0;
    std::unique_ptr<CConverter> m_converter;
    std::string m_carry;  // decoded text whose end waits for what follows
    size_t m_produced = 0;
    size_t m_maxText;
    size_t m_maxConvertedText;
    bool m_ended = false;
    bool m_full = false;
};
