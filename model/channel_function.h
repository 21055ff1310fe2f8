#pragma once

#include "foundation/range.h"

#include <cstdint>
#include <string>

class TiXmlElement;

// The 64 channel functions a DMX range can perform ("On", "Rotate CW", "Red", "Blade 1A", ...),
// id 63 being "Unknown", and the "range" element of personality files.

// The short and the long name of an id; empty past 63 (and for the unnamed id 15).
const char* ChannelFunctionName(uint32_t id);
const char* ChannelFunctionLongName(uint32_t id);
// The id of a name, short or long, in any letter case. "Function Index" is "Function Manual";
// "White", "Cold" and "White MSB" mean cold white (and their "LSB" forms its fine channel).
// 63 when nothing matches.
uint32_t ChannelFunctionFromName(const std::string& name);

// Appends <range function="Name" offset="n">from,to</range> to the parent. Cold white is written
// "White" and "White LSB".
void WriteRangeXml(const CRange& range, TiXmlElement* parent);
// Takes what the element has: a known function name, the offset (clamped), and "from,to" (both
// numbers, clamped to 0..255, or neither); the range is set afterwards in any case.
void ReadRangeXml(const TiXmlElement& element, CRange& range);
