#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// Turns the bytes of an encoding into UTF-8, as the C library's iconv does: the converter the
// XML reader (CXmlDecoder) hands the encodings it does not decode itself.
class CXmlConverter
{
public:
    virtual ~CXmlConverter() = default;

    // Converts from in into out as far as both go, moving each past what it took or gave. 0 once
    // in is all taken; else E2BIG where out is full, EINVAL where in ends inside a character,
    // EILSEQ where it does not follow the encoding.
    virtual int Convert(char*& in, size_t& inLeft, char*& out, size_t& outLeft) = 0;
    // Gives out what a stateful encoding still holds once the input has all been taken: 0, or
    // E2BIG where out is full.
    virtual int Flush(char*& out, size_t& outLeft) = 0;
};

// Opens a converter from the encoding of that name; null where it is not known.
using XmlConverterOpener = std::function<std::unique_ptr<CXmlConverter>(const std::string& from)>;

// The C library's converter.
std::unique_ptr<CXmlConverter> OpenSystemXmlConverter(const std::string& from);
