#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class TiXmlElement;
class TiXmlNode;

// Small readers and writers shared by the show-file forms of the model objects. Readers never
// throw: a value that does not read keeps the default it was given and is logged with the file,
// the element and the text. A number reads whole or not at all (blanks around it allowed).

// "on", "true" or "yes" in any letter case; absent: false. A text that is none of these nor
// "off", "false", "no" or "0" is false and logged.
bool ReadBoolAttribute(const TiXmlElement& element, const char* name);
// A decimal floating-point number; absent or unreadable: the fallback.
float ReadFloatAttribute(const TiXmlElement& element, const char* name, float fallback);
// A decimal signed 64-bit integer (optional sign); false when absent or unreadable.
bool ReadIntAttribute(const TiXmlElement& element, const char* name, int64_t& value);
// The attribute text, empty when absent.
std::string ReadTextAttribute(const TiXmlElement& element, const char* name);
// The log line for a value that could not be read and left its field at its default.
void ReportUnreadValue(const TiXmlElement& element, const char* name, const std::string& text);
// The log line for a name that none the reader knows matches, which the controller is sent as
// unknown.
void ReportUnknownName(const TiXmlElement& element, const char* name, const std::string& text);

// Places the elements of that name under the node, in order, as a list of count places is read
// from a show file: each at the "index" it gives where that reads (any index past the places
// names none, as the first past them does), else at the place after the one the element before
// took. gap(place) hears of each place an index passes over, before the element that passed it;
// placed(element, place, last) of each element that takes a place, with whether it is the last to
// take it, which stands as a file read in order leaves it. The indexes are read twice, the first
// time to find those last elements, but said in the log once.
void PlaceShowElements(const TiXmlNode& node, const char* name, int64_t count,
                       const std::function<void(int64_t place)>& gap,
                       const std::function<void(const TiXmlElement& element, int64_t place, bool last)>& placed);

// The log line for elements a reader leaves out, beyond what the model holds or before the one it
// loads: "Not read: the 2 cues after the first 48 of playback 4 in "/home/op/a.show"", of what.
void ReportLeftOut(const TiXmlNode& node, const std::string& what);
// Any other line a reader gives the log of what it read.
void ReportShowLine(const std::string& line);

// While one lives, the lines the readers above give the log count against one show: past
// kMaxLines, a log file's worth, they are only counted, and summed up in one line as it goes. A
// show of 200,000 values that do not read would otherwise write 17 MB of log, in some fifty
// files, each time it is opened. Main thread only.
class CShowReadLog
{
public:
    static constexpr size_t kMaxLines = 4000;

    explicit CShowReadLog(const std::string& file);
    ~CShowReadLog();
    CShowReadLog(const CShowReadLog&) = delete;
    CShowReadLog& operator=(const CShowReadLog&) = delete;

    // Whether the line goes to the log, counting it.
    bool Take();

private:
    std::string m_file;
    size_t m_lines = 0;
    size_t m_unsaid = 0;
    CShowReadLog* m_outer;
};

// "%g", the form in which the XML library writes a double.
std::string FormatShowFloat(float value);
