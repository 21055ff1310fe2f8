#include "model/channel_function.h"

#include "foundation/ascii.h"
#include "foundation/decimal.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kFunctionCount = 64;
constexpr uint32_t kFunctionManual = 43;
constexpr uint32_t kColdWhite = 22;
constexpr uint32_t kColdWhiteLsb = 23;

struct SFunctionNames
{
    const char* name;
    const char* longName;  // null: the same as the name
};

const SFunctionNames kFunctions[kFunctionCount] = {
    {"On", nullptr},
    {"Off", nullptr},
    {"Idle", nullptr},
    {"Reserved", nullptr},
    {"Control", "Control MSB"},
    {"Control LSB", nullptr},
    {"Closed", nullptr},
    {"Random", nullptr},
    {"Linear", nullptr},
    {"Pulse", nullptr},
    {"Shake", nullptr},
    {"Index MSB", nullptr},
    {"Index LSB", nullptr},
    {"Rotate CW", nullptr},
    {"Rotate CCW", nullptr},
    {"", nullptr},
    {"Red", "Red MSB"},
    {"Red LSB", nullptr},
    {"Green", "Green MSB"},
    {"Green LSB", nullptr},
    {"Blue", "Blue MSB"},
    {"Blue LSB", nullptr},
    {"Cold White", "White MSB"},
    {"Cold White LSB", "White LSB"},
    {"Warm White", "Warm MSB"},
    {"Warm White LSB", "Warm LSB"},
    {"Amber", "Amber MSB"},
    {"Amber LSB", nullptr},
    {"UV", "UV MSB"},
    {"UV LSB", nullptr},
    {"Cyan", "Cyan MSB"},
    {"Cyan LSB", nullptr},
    {"Magenta", "Magenta MSB"},
    {"Magenta LSB", nullptr},
    {"Yellow", "Yellow MSB"},
    {"Yellow LSB", nullptr},
    {"Hue MSB", nullptr},
    {"Saturation MSB", nullptr},
    {"Pan", "Pan MSB"},
    {"Pan LSB", nullptr},
    {"Tilt", "Tilt MSB"},
    {"Tilt LSB", nullptr},
    {"Scroll", nullptr},
    {"Function Manual", nullptr},
    {"Function Scroll", nullptr},
    {"Function Random", nullptr},
    {"Function Rotation CW", nullptr},
    {"Function Rotation CCW", nullptr},
    {"Function Shake", nullptr},
    {"Function Scroll and Rotation CW", nullptr},
    {"Function Scroll and Rotation CCW", nullptr},
    {"Blade 1A", nullptr},
    {"Blade 1B", nullptr},
    {"Blade 2A", nullptr},
    {"Blade 2B", nullptr},
    {"Blade 3A", nullptr},
    {"Blade 3B", nullptr},
    {"Blade 4A", nullptr},
    {"Blade 4B", nullptr},
    {"Rotation", nullptr},
    {"Speed", nullptr},
    {"Z", nullptr},
    {"Z LSB", nullptr},
    {"Unknown", nullptr},
};

struct SAlias
{
    const char* name;
    uint32_t id;
};

const SAlias kAliases[] = {
    {"Function Index", kFunctionManual},
    {"Cold White", kColdWhite},
    {"Cold", kColdWhite},
    {"White", kColdWhite},
    {"White MSB", kColdWhite},
    {"Cold White LSB", kColdWhiteLsb},
    {"Cold LSB", kColdWhiteLsb},
    {"White LSB", kColdWhiteLsb},
};

// A decimal number at text, clamped to max; false when there is none.
bool ReadNumber(const char*& text, uint64_t max, uint64_t& value)
{
    const SDecimal scan = ScanDecimal(text, UINT64_MAX);
    if (scan.result == EDecimalScan::kOverflow) {
        value = max;
        text = scan.firstDigit;
        while (*text >= '0' && *text <= '9')
            ++text;
        return true;
    }
    if (scan.result != EDecimalScan::kOk)
        return false;
    value = scan.value < max ? scan.value : max;
    text = scan.end;
    return true;
}

}  // namespace

const char* ChannelFunctionName(uint32_t id)
{
    return id < kFunctionCount ? kFunctions[id].name : "";
}

const char* ChannelFunctionLongName(uint32_t id)
{
    if (id >= kFunctionCount)
        return "";
    return kFunctions[id].longName ? kFunctions[id].longName : kFunctions[id].name;
}

uint32_t ChannelFunctionFromName(const std::string& name)
{
    for (const SAlias& alias : kAliases) {
        if (EqualIgnoringAsciiCase(name, alias.name))
            return alias.id;
    }
    // The unnamed id 15 has an empty name, which the empty text must not find.
    if (name.empty())
        return CRange::kUnknownFunction;
    for (uint32_t id = 0; id < CRange::kUnknownFunction; ++id) {
        if (EqualIgnoringAsciiCase(name, ChannelFunctionName(id)))
            return id;
    }
    for (uint32_t id = 0; id < CRange::kUnknownFunction; ++id) {
        if (EqualIgnoringAsciiCase(name, ChannelFunctionLongName(id)))
            return id;
    }
    return CRange::kUnknownFunction;
}

void WriteRangeXml(const CRange& range, TiXmlElement* parent)
{
    if (!parent)
        return;
    const uint32_t function = range.GetFunction();
    const char* name = function == kColdWhite      ? "White"
                       : function == kColdWhiteLsb ? "White LSB"
                                                   : ChannelFunctionName(function);
    TiXmlElement element("range");
    element.SetAttribute("function", name);
    element.SetAttribute("offset", int(range.GetOffset()));
    char text[32];
    std::snprintf(text, sizeof(text), "%u,%u", unsigned(range.GetFrom()), unsigned(range.GetTo()));
    element.InsertEndChild(TiXmlText(text));
    parent->InsertEndChild(element);
}

void ReadRangeXml(const TiXmlElement& element, CRange& range)
{
    if (const char* function = element.Attribute("function")) {
        const uint32_t id = ChannelFunctionFromName(function);
        if (id != CRange::kUnknownFunction)
            range.SetFunction(id);
    }
    if (const char* offsetText = element.Attribute("offset")) {
        const char* p = offsetText;
        while (*p == ' ')
            ++p;
        const bool negative = *p == '-';
        if (negative)
            ++p;
        uint64_t offset = 0;
        if (ReadNumber(p, CRange::kMaxOffset, offset))
            range.SetOffset(negative ? 0 : int32_t(offset));
    }
    if (const char* text = element.GetText()) {
        const char* p = text;
        uint64_t from = 0;
        uint64_t to = 0;
        if (ReadNumber(p, 255, from) && *p == ',' && ReadNumber(++p, 255, to)) {
            range.SetFrom(int32_t(from));
            range.SetTo(int32_t(to));
        }
    }
    range.SetSet(true);
}
