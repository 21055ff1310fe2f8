#pragma once

#include "foundation/xml_converter.h"

#include <tinyxml.h>

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The one way the program reads XML. TinyXML recurses once per nesting level without a limit,
// looks up every attribute of an element among the ones before it, and steps past the end of
// its text when the text ends inside a UTF-8 character; so before the parser sees a document it
// is held to these limits, far beyond any file the program writes or ships:
inline constexpr size_t kXmlMaxDepth = 64;
inline constexpr size_t kXmlMaxAttributes = 64;
inline constexpr size_t kXmlMaxNodes = 200000;  // tags and texts
// The parser keeps some 128 bytes for each attribute however short it is written (' a=""'), and
// each '&' that begins no reference costs a note and four bytes of escape: a document of 32 MB
// would otherwise cost some 800 MB in the one and 500 MB in the other.
inline constexpr size_t kXmlMaxAttributesInAll = 200000;
inline constexpr size_t kXmlMaxRawAmpersands = 100000;

enum class XmlReadStatus
{
    kRead,
    kMissing,      // nothing at the path
    kUnreadable,   // the file could not be opened or read, or is no regular file
    kRefused,      // beyond a limit: not parsed at all
    kUndecodable,  // in an encoding the program does not know, or not in the one it names
    kMalformed,    // not well-formed XML; error, line and column say what and where
    kStopped,      // the caller's stop came first: nothing is known of the file
    // The root's start tag stands further into the file than the reader was asked to glance
    // (CXmlRootTagReader::Read): nothing else is known of the file.
    kPastGlance,
};

struct CXmlRead
{
    XmlReadStatus status = XmlReadStatus::kRead;
    // Why the document was not read, worded to follow "the file": "is larger than 1 MB".
    std::string reason;
    // kMalformed: what is wrong ("Error reading end tag."), and where when known (from 1).
    std::string error;
    int line = 0;
    int column = 0;
    // kUndecodable: the program does not know the encoding (else the bytes do not follow it).
    bool unknownEncoding = false;
    // What the reader set right on its way, worded to follow "the file", for the log: "declares
    // the encoding "utf-16", but its first characters say single bytes: read as UTF-8". Empty for
    // a file that says of itself what it is.
    std::string notice;
    // ReadXmlFile and ReadXmlText: the bytes of text the document decoded to, as far as it was
    // decoded, which is what reading it cost.
    size_t text = 0;
    // The C library converted the text (see CXmlDecoder), as far as it was decoded.
    bool converted = false;

    bool IsRead() const { return status == XmlReadStatus::kRead; }
};

// Reads the file into the document, which then carries the file's path as its value. A file
// larger than maxBytes is refused before it is read, one whose text passes maxBytes once decoded
// as soon as it does (a declared encoding may make several characters of a byte), and a document
// beyond the limits above before it is parsed. The text is decoded once, by what the file says
// of itself: a byte-order mark, else the width and order of its first characters (where their
// zero bytes stand, as XML's appendix on detecting encodings reads them: UTF-16 and UTF-32 need
// no mark), else the declaration's encoding, else UTF-8. A declaration that contradicts the
// bytes (UTF-16 declared in a file of single bytes) gives way to them, with a notice. In UTF-8 a
// byte that is not part of a character is read as Windows-1252; a document declared Latin-1 is
// read as Windows-1252, which only adds characters where Latin-1 has invisible control codes.
// Line ends are read as TinyXML's own file reader reads them. Every text and attribute value of
// a document read is valid UTF-8, character references decoded as characters.
// What is not well-formed is never silently changed: an '&' that begins no reference is kept as
// written, while a '<' in an element's text that begins no tag, or a reference to no character,
// refuses the document with its line.
CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document);
// The same for a document in memory, its text held to maxText; open, where given, stands in for
// the C library's converter.
CXmlRead ReadXmlText(std::string text, TiXmlDocument& document, size_t maxText,
                     const XmlConverterOpener& open = nullptr);
// Whether ReadXmlFile would refuse the file before its parser saw it, and why (kRefused for its
// size, the text it decodes to or the limits above, kUndecodable, or kMissing and kUnreadable),
// without building the document: kRead where it would be parsed, which may still find it not
// well-formed. The bytes are read and decoded 64 KB at a time, in the pieces ReadXmlFile decodes
// them in, so that both give one verdict on every file; what it holds is the text alone, within
// maxBytes. Where the stop is given, it is looked at before each piece is read: once it is set,
// the check ends with kStopped.
CXmlRead CheckXmlFile(const std::string& path, size_t maxBytes, const std::atomic<bool>* stop = nullptr);
// Reads only the start tag of the file's root element into the document, as an empty element,
// and only as much of the file as it takes to reach it, each byte once and in order, in pieces
// of 64 KB. Decoded and checked as ReadXmlFile reads the whole file, and as far as it reads, so the
// tag reads as the whole file's root would wherever it stands, and an error in what stands before
// it (declaration, comments, processing instructions, a document type) is told with its line and
// column in the file; where the whole file holds no element at the top, neither does the document.
// Of what stands before the tag nothing is held but what the parser would fail on, and the parser
// is given one node in its place, so that the memory it takes is that of the declarations and the
// tag and its time a few milliseconds a MB however that is made (comments, declarations,
// instructions by the hundred thousand); the tag's values are read without the parser, which
// reads them ten times slower. Refused (kRefused) as ReadXmlFile refuses what stands before the
// tag: a file larger than maxBytes, text that passes maxBytes before the tag ends, more tags and
// texts than the reader takes.
CXmlRead ReadXmlRootTag(const std::string& path, size_t maxBytes, TiXmlDocument& document);
// Reads the next bytes of a document into the buffer, at most size of them: how many, 0 at the
// end, -1 with errno set where they cannot be read.
using XmlByteSource = std::function<ssize_t(char* buffer, size_t size)>;
// The same from bytes read from the source, each asked for once.
CXmlRead ReadXmlRootTag(const XmlByteSource& source, size_t maxBytes, TiXmlDocument& document);
// Reads the start tags of files' roots as ReadXmlRootTag does, one file after another, keeping
// between them the memory it reads in: many files behind long tags then take no fresh memory
// each, which the C library hands out and takes back a page at a time, at five times the cost of
// the reading. Given a stop, every read looks at it before each piece of 64 KB it reads or goes
// through, and ends with kStopped once it is set: a thread that reads shows for a list can be
// ended at once, whatever the show it is reading.
class CXmlRootTagReader
{
public:
    explicit CXmlRootTagReader(const std::atomic<bool>* stop = nullptr);
    ~CXmlRootTagReader();
    CXmlRootTagReader(const CXmlRootTagReader&) = delete;
    CXmlRootTagReader& operator=(const CXmlRootTagReader&) = delete;

    // As ReadXmlRootTag. Where wanted is given, only the attributes it names get their values in
    // the document; the others are there with empty ones.
    CXmlRead Read(const std::string& path, size_t maxBytes, TiXmlDocument& document,
                  const std::vector<std::string>* wanted = nullptr);
    CXmlRead Read(const XmlByteSource& source, size_t maxBytes, TiXmlDocument& document,
                  const std::vector<std::string>* wanted = nullptr);
    // As CheckXmlFile.
    CXmlRead Check(const std::string& path, size_t maxBytes);
    // CheckXmlFile's verdict on the file and, where it passes the file, the root's start tag as Read
    // gives it, both from one decoding of the whole file: what Read returns, else the verdict. A
    // file whose tag stands far in, which is then checked whole anyway, costs its decoding once.
    CXmlRead ReadWhole(const std::string& path, size_t maxBytes, TiXmlDocument& document, CXmlRead& verdict,
                       const std::vector<std::string>* wanted = nullptr);
    // Reads look no further than that many bytes into a file for the tag (SIZE_MAX: as far as
    // ReadXmlFile reads), and end with kPastGlance where it stands further in: a list can glance
    // at the start of every file before it reads far into any.
    void SetGlance(size_t bytes) { m_glance = bytes; }
    size_t GetGlance() const { return m_glance; }

private:
    std::string m_text;
    const std::atomic<bool>* m_stop;
    size_t m_glance = SIZE_MAX;
};

// The log line for a file that was not read: "Not read: "/path/options.xml" is larger than 1 MB".
std::string DescribeXmlRead(const std::string& path, const CXmlRead& read);
// The log line of a notice: "Read: "/path/options.xml" declares the encoding ...".
std::string DescribeXmlNotice(const std::string& path, const CXmlRead& read);
