#include "model/show_xml.h"

#include "foundation/whole_number.h"
#include "foundation/xml_element.h"
#include "shell/app.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace
{
// The show whose reading counts the lines, if any.
CShowReadLog* g_readLog = nullptr;
}  // namespace

CShowReadLog::CShowReadLog(const std::string& file) : m_file(file), m_outer(g_readLog)
{
    g_readLog = this;
}

CShowReadLog::~CShowReadLog()
{
    g_readLog = m_outer;
    if (m_unsaid > 0)
        CApp::Log("Show", "Not logged: " + std::to_string(m_unsaid) + " more lines on what was not read of \"" + m_file +
                              "\"", 1);
}

bool CShowReadLog::Take()
{
    if (m_lines == kMaxLines)
    {
        ++m_unsaid;
        return false;
    }
    ++m_lines;
    return true;
}

void PlaceShowElements(const TiXmlNode& node, const char* name, int64_t count,
                       const std::function<void(int64_t place)>& gap,
                       const std::function<void(const TiXmlElement& element, int64_t place, bool last)>& placed)
{
    // Each walk is told the element and the place after the one before, and gives the place it
    // takes, between -1 and count.
    const auto walk = [&](const auto& place) {
        int64_t next = 0;
        for (const TiXmlElement* element : XmlChildren(&node, name))
            next = std::max(next, place(*element, next)) + 1;
    };
    std::vector<const TiXmlElement*> last(size_t(std::max<int64_t>(count, 0)), nullptr);
    walk([&](const TiXmlElement& element, int64_t next) {
        const char* text = element.Attribute("index");
        const std::optional<int64_t> index = text ? ReadWholeInteger(text, INT64_MIN, INT64_MAX) : std::nullopt;
        const int64_t place = index ? std::clamp<int64_t>(*index, -1, count) : next;
        if (place >= 0 && place < count)
            last[size_t(place)] = &element;
        return place;
    });
    walk([&](const TiXmlElement& element, int64_t next) {
        int64_t index = 0;
        const int64_t place = ReadIntAttribute(element, "index", index) ? std::clamp<int64_t>(index, -1, count) : next;
        for (int64_t skipped = next; skipped < place && skipped < count; ++skipped)
            gap(skipped);
        if (place >= 0 && place < count)
            placed(element, place, last[size_t(place)] == &element);
        return place;
    });
}

void ReportShowLine(const std::string& line)
{
    if (!g_readLog || g_readLog->Take())
        CApp::Log("Show", line, 1);
}

void ReportUnreadValue(const TiXmlElement& element, const char* name, const std::string& text)
{
    ReportShowLine("Not read, default kept: " + DescribeXmlValue(element, name, text));
}

void ReportUnknownName(const TiXmlElement& element, const char* name, const std::string& text)
{
    ReportShowLine("Not read, sent as unknown: " + DescribeXmlValue(element, name, text));
}

void ReportLeftOut(const TiXmlNode& node, const std::string& what)
{
    const TiXmlDocument* document = node.GetDocument();
    ReportShowLine("Not read: " + what + (document ? " in \"" + document->ValueStr() + "\"" : std::string()));
}

bool ReadBoolAttribute(const TiXmlElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    if (!text)
        return false;
    // Another writer's "1" or "enabled" stays off, and the log says so.
    const std::optional<bool> value = ReadXmlBool(text);
    if (!value)
        ReportUnreadValue(element, name, text);
    return value.value_or(false);
}

float ReadFloatAttribute(const TiXmlElement& element, const char* name, float fallback)
{
    const char* text = element.Attribute(name);
    if (!text)
        return fallback;
    const std::optional<float> value = ReadWholeFloat(text);
    if (!value)
    {
        ReportUnreadValue(element, name, text);
        return fallback;
    }
    return *value;
}

bool ReadIntAttribute(const TiXmlElement& element, const char* name, int64_t& value)
{
    const char* text = element.Attribute(name);
    if (!text)
        return false;
    const std::optional<int64_t> number = ReadWholeInteger(text, INT64_MIN, INT64_MAX);
    if (!number)
    {
        ReportUnreadValue(element, name, text);
        return false;
    }
    value = *number;
    return true;
}

std::string ReadTextAttribute(const TiXmlElement& element, const char* name)
{
    // The reader has made every value UTF-8 already.
    const char* text = element.Attribute(name);
    return text ? std::string(text) : std::string();
}

std::string FormatShowFloat(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}
