#include "tools/personality_converter/channel_type.h"

#include "foundation/ascii.h"

#include <cctype>
#include <vector>

namespace {

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool EndsWith(const std::string& text, const char* suffix)
{
    const size_t n = std::char_traits<char>::length(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// Lower-case ASCII words of a channel name: "Gobo 1 Rotate (fine)" gives gobo, 1, rotate, fine.
std::vector<std::string> Words(const std::string& name)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : ToLowerAscii(name))
    {
        if (std::isalnum(static_cast<unsigned char>(c)))
            word += c;
        else if (!word.empty())
            words.push_back(std::move(word)), word.clear();
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

bool HasWordStartingWith(const std::vector<std::string>& words, const char* prefix)
{
    for (const std::string& w : words)
        if (StartsWith(w, prefix))
            return true;
    return false;
}

bool HasWord(const std::vector<std::string>& words, const char* word)
{
    for (const std::string& w : words)
        if (w == word)
            return true;
    return false;
}

// Beam-shaping words that also turn up in shutter and gobo groups; 0 when none is present.
uint8_t BeamTypeByName(const std::vector<std::string>& words)
{
    if (HasWord(words, "iris"))
        return kChannelIris;
    if (HasWordStartingWith(words, "frost"))
        return kChannelFrost;
    if (HasWordStartingWith(words, "focus") || HasWordStartingWith(words, "autofocus"))
        return kChannelFocus;
    if (HasWordStartingWith(words, "zoom"))
        return kChannelZoom;
    return 0;
}

// A gobo channel that turns or indexes the gobo rather than choosing it. "Rotating gobo wheel"
// chooses among the rotating gobos, so "rotating" directly before "gobo" does not count.
bool IsGoboRotation(const std::vector<std::string>& words)
{
    for (size_t i = 0; i < words.size(); ++i)
    {
        const std::string& w = words[i];
        if (w == "rotating")
        {
            if (i + 1 < words.size() && StartsWith(words[i + 1], "gobo"))
                continue;
            return true;
        }
        if (w == "rot" || StartsWith(w, "rotat") || w == "spin" || StartsWith(w, "index"))
            return true;
    }
    return false;
}

SChannelMapping Mapped(uint8_t code)
{
    SChannelMapping m;
    m.code = code;
    return m;
}

SChannelMapping Lost(const std::string& why)
{
    SChannelMapping m;
    m.loss = why;
    return m;
}

// Intensity channels of one emitter colour. The mix carries red, green, blue, amber and white only.
SChannelMapping MapColour(const std::string& colour)
{
    const std::string c = ToLowerAscii(colour);
    if (c == "red")
        return Mapped(kChannelRed);
    if (c == "green")
        return Mapped(kChannelGreen);
    if (c == "blue")
        return Mapped(kChannelBlue);
    if (c == "amber")
        return Mapped(kChannelAmber);
    if (c == "white")
        return Mapped(kChannelWhite);
    return Lost("colour " + colour);
}

// Presets name the function exactly; a trailing "Fine" marks the low byte. `found` is false for a
// preset this converter does not know, so that the caller can fall back to the group.
SChannelMapping MapPreset(const std::string& preset, bool& found)
{
    found = true;
    std::string p(preset);
    uint8_t fine = 0;
    if (EndsWith(p, "Fine"))
    {
        p.resize(p.size() - 4);
        fine = kChannelFine;
    }
    SChannelMapping m;
    if (p == "IntensityMasterDimmer" || p == "IntensityDimmer" || p == "IntensityValue")
        m = Mapped(kChannelIntensity);
    else if (StartsWith(p, "Intensity"))
        m = MapColour(p.substr(9));
    else if (p == "PositionPan" || p == "PositionXAxis")
        m = Mapped(kChannelPan);
    else if (p == "PositionTilt" || p == "PositionYAxis")
        m = Mapped(kChannelTilt);
    else if (StartsWith(p, "Speed"))
        m = Mapped(kChannelSpeed);
    else if (p == "ColorMacro" || p == "ColorWheel" || p == "ColorDoubleMacro")
        m = Mapped(kChannelColourFixed);
    else if (p == "ColorCTOMixer" || p == "ColorCTCMixer" || p == "ColorRGBMixer")
        m = Lost("colour " + p.substr(5));
    else if (p == "GoboWheel" || p == "GoboMacro")
        m = Mapped(kChannelGobo);
    else if (p == "GoboIndex")
        m = Mapped(kChannelRotation);
    else if (StartsWith(p, "ShutterStrobe"))
        m = Mapped(kChannelShutter);
    else if (StartsWith(p, "ShutterIris"))
        m = Mapped(kChannelIris);
    else if (StartsWith(p, "BeamFocus"))
        m = Mapped(kChannelFocus);
    else if (StartsWith(p, "BeamZoom"))
        m = Mapped(kChannelZoom);
    else if (StartsWith(p, "PrismRotation"))
        m = Mapped(kChannelPrism);
    else if (p == "NoFunction")
        m = Mapped(kChannelEffect);
    else
    {
        found = false;
        return Lost("unknown preset " + preset);
    }
    m.code = static_cast<uint8_t>(m.code | fine);
    return m;
}

SChannelMapping MapGroup(const SSourceChannel& channel)
{
    const std::string group = ToLowerAscii(channel.group);
    const std::vector<std::string> words = Words(channel.name);
    SChannelMapping m;
    if (group == "intensity")
        m = channel.colour.empty() ? Mapped(kChannelIntensity) : MapColour(channel.colour);
    else if (group == "pan")
        m = Mapped(kChannelPan);
    else if (group == "tilt")
        m = Mapped(kChannelTilt);
    else if (group == "colour" || group == "color")
        m = Mapped(kChannelColourFixed);
    else if (group == "gobo")
    {
        if (HasWord(words, "iris"))
            m = Mapped(kChannelIris);
        else
            m = Mapped(IsGoboRotation(words) ? kChannelRotation : kChannelGobo);
    }
    else if (group == "shutter")
    {
        const uint8_t beam = BeamTypeByName(words);
        m = Mapped(beam ? beam : uint8_t(kChannelShutter));
    }
    else if (group == "beam")
    {
        const uint8_t beam = BeamTypeByName(words);
        m = Mapped(beam ? beam : uint8_t(kChannelCustom1));
    }
    else if (group == "prism")
    {
        const bool frost = HasWordStartingWith(words, "frost") && !HasWordStartingWith(words, "prism");
        m = Mapped(frost ? kChannelFrost : kChannelPrism);
    }
    else if (group == "speed")
        m = Mapped(kChannelSpeed);
    else if (group == "maintenance")
        m = Mapped(kChannelMaintenance);
    else if (group == "effect" || group == "nothing")
        m = Mapped(kChannelEffect);
    else if (group.empty())
        return Lost("no group");
    else
        return Lost("unknown group " + channel.group);
    if (channel.groupByte == 1)
        m.code = static_cast<uint8_t>(m.code | kChannelFine);
    return m;
}

}  // namespace

SChannelMapping MapChannel(const SSourceChannel& channel)
{
    if (!channel.preset.empty())
    {
        bool found = false;
        SChannelMapping m = MapPreset(channel.preset, found);
        if (found || channel.group.empty())
            return m;
    }
    return MapGroup(channel);
}
