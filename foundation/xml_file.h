#pragma once

#include <tinyxml.h>

#include <cstddef>
#include <string>

// The one way the program reads XML. TinyXML recurses once per nesting level without a limit,
// looks up every attribute of an element among the ones before it, and steps past the end of
// its text when the text ends inside a UTF-8 character; so before the parser sees a document it
// is held to these limits, far beyond any file the program writes or ships:
inline constexpr size_t kXmlMaxDepth = 64;
inline constexpr size_t kXmlMaxAttributes = 64;
inline constexpr size_t kXmlMaxNodes = 200000;  // tags and texts

enum class XmlReadStatus
{
    kRead,
    kMissing,     // nothing at the path
    kUnreadable,  // the file could not be opened or read, or is no regular file
    kRefused,     // beyond a limit: not parsed at all
    kMalformed,   // not well-formed XML; the document's error says where
};

struct CXmlRead
{
    XmlReadStatus status = XmlReadStatus::kRead;
    // Why the document was not read, worded to follow "the file": "is larger than 1 MB".
    std::string reason;

    bool IsRead() const { return status == XmlReadStatus::kRead; }
};

// Reads the file into the document: a file larger than maxBytes is refused before it is read,
// line ends are read as TinyXML's own file reader reads them, bytes that are not UTF-8 are read as
// Windows-1252, and a document beyond the limits above is refused before it is parsed.
CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document,
                     TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);
// The same for a document in memory.
CXmlRead ReadXmlText(std::string text, TiXmlDocument& document, TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);
// The log line for a file that was not read: "Not read: "/path/options.xml" is larger than 1 MB".
std::string DescribeXmlRead(const std::string& path, const CXmlRead& read);
