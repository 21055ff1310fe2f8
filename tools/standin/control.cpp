#include "tools/standin/control.h"

#include "tools/standin/show_digest.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace standin
{
namespace
{
using Words = std::vector<std::string>;

Words Split(const std::string& line)
{
    Words words;
    std::istringstream stream(line);
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

// The words from first on, joined by single blanks (labels may hold blanks).
std::string Rest(const Words& words, size_t first)
{
    std::string text;
    for (size_t i = first; i < words.size(); ++i)
        text += (i > first ? " " : "") + words[i];
    return text;
}

bool ParseBool(const std::string& text, bool& value)
{
    if (text == "on" || text == "true" || text == "yes" || text == "1")
        value = true;
    else if (text == "off" || text == "false" || text == "no" || text == "0")
        value = false;
    else
        return false;
    return true;
}

bool ParseU64(const std::string& text, uint64_t& value)
{
    if (text.empty() || text[0] == '-')
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0';
}

bool ParseU32(const std::string& text, uint32_t& value)
{
    uint64_t wide = 0;
    if (!ParseU64(text, wide) || wide > 0xFFFFFFFFull)
        return false;
    value = static_cast<uint32_t>(wide);
    return true;
}

bool ParseFloat(const std::string& text, float& value)
{
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool ParseHexBytes(const std::string& text, uint8_t* out, size_t count)
{
    std::string digits;
    for (char c : text)
    {
        if (c != ':' && c != '-')
            digits += c;
    }
    if (digits.size() != count * 2)
        return false;
    for (size_t i = 0; i < count; ++i)
    {
        const std::string pair = digits.substr(2 * i, 2);
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (!end || *end != '\0')
            return false;
        out[i] = static_cast<uint8_t>(value);
    }
    return true;
}

// "1.7" for a version of two bytes.
bool ParseVersion(const std::string& text, uint8_t out[2])
{
    unsigned major = 0;
    unsigned minor = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u.%u%c", &major, &minor, &tail) != 2 || major > 255 || minor > 255)
        return false;
    out[0] = static_cast<uint8_t>(major);
    out[1] = static_cast<uint8_t>(minor);
    return true;
}

const std::string kBadValue = "error bad value";
const std::string kOk = "ok";
}  // namespace

std::string CControl::Execute(const std::string& line)
{
    Words words = Split(line);
    if (words.empty() || words[0][0] == '#')
        return kOk;
    size_t unit = m_unit;
    if (words[0][0] == '@')
    {
        uint32_t chosen = 0;
        if (!ParseU32(words[0].substr(1), chosen) || chosen >= m_target.GetUnitCount())
            return "error no such unit";
        unit = chosen;
        words.erase(words.begin());
        if (words.empty())
            return "error nothing to do";
    }
    return ExecuteFor(unit, words);
}

std::string CControl::ExecuteFor(size_t unit, const Words& words)
{
    const std::string& verb = words[0];
    if (verb == "unit")
    {
        uint32_t chosen = 0;
        if (words.size() != 2 || !ParseU32(words[1], chosen) || chosen >= m_target.GetUnitCount())
            return "error no such unit";
        m_unit = chosen;
        return kOk;
    }
    if (verb == "playback")
        return Playback(unit, words);
    if (verb == "cue")
        return Cue(unit, words);
    if (verb == "fixture")
        return Fixture(unit, words);
    if (verb == "programmer")
        return Programmer(unit, words);
    if (verb == "settings")
        return Settings(unit, words);
    if (verb == "show")
        return Show(unit, words);
    if (verb == "notify")
        return RawNotify(unit, words);
    if (verb == "swap")
        return Swap(unit, words);
    if (verb == "digest")
        return "ok " + ComputeShowDigest(m_target.GetController(unit).GetShow()).ToString();
    if (verb == "out-of-sequence")
        return "ok " + std::to_string(m_target.GetOutOfSequence());
    if (verb == "dropped")
        return "ok " + std::to_string(m_target.GetDropped());
    if (verb == "quit")
    {
        m_target.Stop();
        return kOk;
    }
    return Fault(words);
}

std::string CControl::Fault(const Words& words)
{
    SFaults& faults = m_target.GetFaults();
    const std::string& verb = words[0];
    if (words.size() < 2)
        return "error unknown command " + verb;
    const std::string& value = words[1];

    bool flag = false;
    bool* flagTarget = nullptr;
    if (verb == "silent")
        flagTarget = &faults.silent;
    else if (verb == "discovery")
        flagTarget = &faults.discovery;
    else if (verb == "link")
        flagTarget = &faults.link;
    else if (verb == "unit-protocol")
        flagTarget = &faults.unit;
    else if (verb == "notify-frames")
        flagTarget = &faults.notify;
    else if (verb == "garbage")
        flagTarget = &faults.garbage;
    else if (verb == "unit-wrong-port")
        flagTarget = &faults.unitWrongPort;
    if (flagTarget)
    {
        if (!ParseBool(value, flag))
            return kBadValue;
        *flagTarget = flag;
        return kOk;
    }

    uint32_t number = 0;
    uint32_t* numberTarget = nullptr;
    if (verb == "delay")
        numberTarget = &faults.delayMs;
    else if (verb == "drop")
        numberTarget = &faults.dropLink;
    else if (verb == "drop-every")
        numberTarget = &faults.dropEvery;
    else if (verb == "unit-drop")
        numberTarget = &faults.dropUnit;
    if (numberTarget)
    {
        if (!ParseU32(value, number))
            return kBadValue;
        *numberTarget = number;
        return kOk;
    }

    if (verb == "notify-sequence")
    {
        if (value == "off")
            faults.notifySequence = -1;
        else if (ParseU32(value, number) && number <= 0xFFFF)
            faults.notifySequence = static_cast<int>(number);
        else
            return kBadValue;
        return kOk;
    }
    if (verb == "link-source")
    {
        const std::string error = m_target.SetLinkSource(value == "off" ? std::string() : value);
        return error.empty() ? kOk : "error " + error;
    }
    if (verb == "misanswer")
    {
        if (value == "off" && words.size() == 2)
        {
            faults.groupAsProgrammer = false;
            faults.misansweredPlayback = -1;
        }
        else if (value == "group" && words.size() == 2)
            faults.groupAsProgrammer = true;
        else if (value == "playback" && words.size() == 3 && ParseU32(words[2], number) && number < kPlaybackCount)
            faults.misansweredPlayback = static_cast<int>(number);
        else
            return kBadValue;
        return kOk;
    }
    if (verb == "quirk" && words.size() == 3)
    {
        if (!ParseBool(words[2], flag))
            return kBadValue;
        if (value == "lower")
            faults.quirks.lowerCasePrefix = flag;
        else if (value == "caps-label")
            faults.quirks.capitalLabelWord = flag;
        else if (value == "bad-ip")
            faults.quirks.badAddress = flag;
        else if (value == "empty-port")
            faults.quirks.emptyPort = flag;
        else
            return "error unknown quirk " + value;
        return kOk;
    }
    return "error unknown command " + verb;
}

void CControl::Tell(size_t unit, uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2, uint32_t code)
{
    CController& controller = m_target.GetController(unit);
    m_target.SendNotifies(
        unit, {CController::MakeNotify(manager, index0, index1, index2, code, controller.GetLastSequence())});
}

std::string CControl::Playback(size_t unit, const Words& words)
{
    // playback P property value
    uint32_t index = 0;
    if (words.size() < 4 || !ParseU32(words[1], index) || index >= kPlaybackCount)
        return "error usage: playback P property value";
    SPlayback& playback = m_target.GetController(unit).GetShow().playbacks[index];
    const std::string& property = words[2];
    const std::string& value = words[3];
    uint32_t number = 0;
    float real = 0.0f;
    bool flag = false;
    uint32_t code = 0;
    if (property == "label")
    {
        playback.label = Rest(words, 3);
        code = 289;
    }
    else if (property == "intensity" && ParseFloat(value, real))
    {
        playback.intensity = real;
        code = 290;
    }
    else if (property == "speed" && ParseFloat(value, real))
    {
        playback.speed = real;
        code = 13;
    }
    else if (property == "repeat" && ParseU32(value, number))
    {
        playback.repeat = number;
        code = 291;
    }
    else if (property == "gomode" && ParseU32(value, number))
    {
        playback.goMode = number;
        code = 121;
    }
    else if (property == "status" && ParseU32(value, number))
    {
        playback.status = number;
        code = 144;
    }
    else if (property == "current" && ParseU32(value, number))
    {
        playback.currentCue = number;
        code = 92;
    }
    else if (property == "background" && ParseBool(value, flag))
    {
        playback.background = flag;
        code = 197;
    }
    else if (property == "exclusive" && ParseBool(value, flag))
    {
        playback.exclusive = flag;
        code = 46;
    }
    else if (property == "count" && ParseU32(value, number) && number <= 255)
    {
        playback.cues.resize(number);
        code = 3;
    }
    else
    {
        return kBadValue;
    }
    Tell(unit, MANAGER_PLAYBACK, index, 0, 0, code);
    return kOk;
}

std::string CControl::Cue(size_t unit, const Words& words)
{
    // cue P C property value
    uint32_t index = 0;
    uint32_t cueIndex = 0;
    if (words.size() < 5 || !ParseU32(words[1], index) || index >= kPlaybackCount || !ParseU32(words[2], cueIndex))
        return "error usage: cue P C property value";
    SPlayback& playback = m_target.GetController(unit).GetShow().playbacks[index];
    if (cueIndex >= playback.cues.size())
        return "error no such cue";
    SCue& cue = playback.cues[cueIndex];
    const std::string& property = words[3];
    const std::string& value = words[4];
    uint32_t number = 0;
    if (property == "label")
    {
        cue.label = Rest(words, 4);
        Tell(unit, MANAGER_CUE, index, cueIndex, 0, 289);
    }
    else if (property == "condition" && ParseU32(value, number))
    {
        cue.condition = number;
        Tell(unit, MANAGER_CUE, index, cueIndex, 0, 90);
    }
    else if (property == "fade" && ParseU32(value, number))
    {
        cue.fadeMs = number;
        Tell(unit, MANAGER_CUE, index, cueIndex, 0, 293);
    }
    else if (property == "delay" && ParseU32(value, number))
    {
        cue.delayMs = number;
        Tell(unit, MANAGER_CUE, index, cueIndex, 0, 54);
    }
    else if (property == "fill" && words.size() == 6 && ParseU32(value, number) && number < kBlockCount)
    {
        // cue P C fill BLOCK BYTE: every byte of one block.
        uint32_t byte = 0;
        if (!ParseU32(words[5], byte) || byte > 255)
            return kBadValue;
        cue.blocks[number].fill(static_cast<uint8_t>(byte));
        Tell(unit, MANAGER_CUE, index, cueIndex, number, 296);
    }
    else
    {
        return kBadValue;
    }
    return kOk;
}

std::string CControl::Fixture(size_t unit, const Words& words)
{
    // fixture S property [value]
    uint32_t slot = 0;
    if (words.size() < 3 || !ParseU32(words[1], slot) || slot >= kFixtureCount)
        return "error usage: fixture S property value";
    SFixture& fixture = m_target.GetController(unit).GetShow().fixtures[slot];
    const std::string& property = words[2];
    if (property == "clear")
    {
        fixture = SFixture();
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 0);
        return kOk;
    }
    if (words.size() < 4)
        return kBadValue;
    const std::string& value = words[3];
    uint32_t number = 0;
    bool flag = false;
    if (property == "label")
    {
        fixture.label = Rest(words, 3);
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 289);
    }
    else if (property == "personality")
    {
        fixture.personality = Rest(words, 3);
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 32);
    }
    else if (property == "address" && ParseU32(value, number))
    {
        fixture.address = number;
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 20);
    }
    else if (property == "virtual-dimmer" && ParseBool(value, flag))
    {
        fixture.virtualDimmer = flag;
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 206);
    }
    else if ((property == "invert-pan" || property == "invert-tilt" || property == "swap-pan-tilt") &&
             ParseBool(value, flag))
    {
        (property == "invert-pan" ? fixture.invertPan
                                  : property == "invert-tilt" ? fixture.invertTilt : fixture.swapPanTilt) = flag;
        Tell(unit, MANAGER_FIXTURE, slot, 0, 0, 24);
    }
    else
    {
        return kBadValue;
    }
    return kOk;
}

std::string CControl::Programmer(size_t unit, const Words& words)
{
    if (words.size() < 3)
        return "error usage: programmer property value";
    SProgrammer& programmer = m_target.GetController(unit).GetShow().programmer;
    const std::string& property = words[1];
    const std::string& value = words[2];
    uint64_t mask = 0;
    uint32_t number = 0;
    bool flag = false;
    if (property == "selection" && ParseU64(value, mask))
    {
        programmer.selection = mask;
        Tell(unit, MANAGER_PROGRAMMER, 0, 0, 0, 38);
    }
    else if (property == "blind" && ParseBool(value, flag))
    {
        programmer.blind = flag;
        Tell(unit, MANAGER_PROGRAMMER, 0, 0, 0, 294);
    }
    else if (property == "clear" && ParseBool(value, flag))
    {
        programmer.clear = flag;
        Tell(unit, MANAGER_PROGRAMMER, 0, 0, 0, 117);
    }
    else if (property == "playback" && ParseU32(value, number))
    {
        programmer.playback = number;
        Tell(unit, MANAGER_PROGRAMMER, 0, 0, 0, 400);
    }
    else
    {
        return kBadValue;
    }
    return kOk;
}

std::string CControl::Settings(size_t unit, const Words& words)
{
    if (words.size() < 3)
        return "error usage: settings property value";
    SUnitSettings& settings = m_target.GetController(unit).GetShow().unit;
    const std::string& property = words[1];
    const std::string& value = words[2];
    uint32_t number = 0;
    bool flag = false;
    if (property == "label")
        settings.label = Rest(words, 2);
    else if (property == "mac")
        return ParseHexBytes(value, settings.mac.data(), 6) ? kOk : kBadValue;
    else if (property == "subnet")
    {
        unsigned a = 0, b = 0, c = 0, d = 0;
        char tail = 0;
        if (std::sscanf(value.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 ||
            c > 255 || d > 255)
            return kBadValue;
        settings.subnet = {uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d)};
    }
    else if (property == "dhcp" && ParseBool(value, flag))
        settings.dhcp = flag;
    else if (property == "firmware")
        return ParseVersion(value, settings.firmware.data()) ? kOk : kBadValue;
    else if (property == "pcb")
        return ParseVersion(value, settings.pcb.data()) ? kOk : kBadValue;
    else if (property == "artnet" && ParseBool(value, flag))
    {
        settings.artNetEnabled = flag;
        Tell(unit, MANAGER_ARTNET, 0, 0, 0, 19);
    }
    else if (property == "artnet-universe" && ParseU32(value, number) && number <= 255)
    {
        settings.artNetUniverse = static_cast<uint8_t>(number);
        Tell(unit, MANAGER_ARTNET, 0, 0, 0, 23);
    }
    else if (property == "acn" && ParseBool(value, flag))
    {
        settings.acnEnabled = flag;
        Tell(unit, MANAGER_ACN, 0, 0, 0, 19);
    }
    else if (property == "acn-universe" && ParseU32(value, number) && number <= 65535)
    {
        settings.acnUniverse = static_cast<uint16_t>(number);
        Tell(unit, MANAGER_ACN, 0, 0, 0, 23);
    }
    else
        return kBadValue;
    return kOk;
}

std::string CControl::Show(size_t unit, const Words& words)
{
    const SShow& show = m_target.GetController(unit).GetShow();
    std::ostringstream out;
    out << "ok";
    uint32_t index = 0;
    if (words.size() == 3 && words[1] == "playback" && ParseU32(words[2], index) && index < kPlaybackCount)
    {
        const SPlayback& p = show.playbacks[index];
        out << " intensity=" << p.intensity << " speed=" << p.speed << " repeat=" << p.repeat
            << " gomode=" << p.goMode << " status=" << p.status << " current=" << p.currentCue
            << " background=" << p.background << " exclusive=" << p.exclusive << " cues=" << p.cues.size()
            << " label=" << p.label;
    }
    else if (words.size() == 4 && words[1] == "cue" && ParseU32(words[2], index) && index < kPlaybackCount)
    {
        uint32_t cueIndex = 0;
        if (!ParseU32(words[3], cueIndex) || cueIndex >= show.playbacks[index].cues.size())
            return "error no such cue";
        const SCue& c = show.playbacks[index].cues[cueIndex];
        uint64_t used = 0;
        for (uint32_t slot = 0; slot < kFixtureCount; ++slot)
        {
            const uint8_t* record = c.blocks[slot / kRecordsPerBlock].data() + (slot % kRecordsPerBlock) * kRecordSize;
            for (uint32_t i = 0; i < kRecordSize; ++i)
            {
                if (record[i] != 0)
                {
                    used |= uint64_t(1) << slot;
                    break;
                }
            }
        }
        out << " condition=" << c.condition << " fade=" << c.fadeMs << " delay=" << c.delayMs << " fixtures=0x"
            << std::hex << used << std::dec << " label=" << c.label;
    }
    else if (words.size() == 3 && words[1] == "fixture" && ParseU32(words[2], index) && index < kFixtureCount)
    {
        const SFixture& f = show.fixtures[index];
        out << " address=" << f.address << " properties=0x" << std::hex << f.GetProperties() << std::dec
            << " personality=" << f.personality << " label=" << f.label;
    }
    else if (words.size() == 2 && words[1] == "programmer")
    {
        const SProgrammer& p = show.programmer;
        out << " selection=0x" << std::hex << p.selection << std::dec << " blind=" << p.blind << " clear=" << p.clear
            << " playback=" << p.playback << " groups=";
        for (uint32_t g = 0; g < kGroupCount; ++g)
            out << (g ? "|" : "") << p.groups[g].ToText();
    }
    else if (words.size() == 2 && words[1] == "settings")
    {
        const SUnitSettings& s = show.unit;
        char mac[20];
        std::snprintf(mac, sizeof(mac), "%02x:%02x:%02x:%02x:%02x:%02x", s.mac[0], s.mac[1], s.mac[2], s.mac[3],
                      s.mac[4], s.mac[5]);
        out << " mac=" << mac << " subnet=" << int(s.subnet[0]) << '.' << int(s.subnet[1]) << '.'
            << int(s.subnet[2]) << '.' << int(s.subnet[3]) << " ip=" << int(s.ip[0]) << '.' << int(s.ip[1]) << '.'
            << int(s.ip[2]) << '.' << int(s.ip[3]) << ':' << s.ipPort << " dhcp=" << s.dhcp
            << " artnet=" << s.artNetEnabled << " artnet-universe=" << int(s.artNetUniverse)
            << " acn=" << s.acnEnabled << " acn-universe=" << s.acnUniverse << " blinks=" << s.blinks
            << " resets=" << s.resets << " label=" << s.label;
    }
    else
    {
        return "error usage: show playback P | cue P C | fixture S | programmer | settings";
    }
    return out.str();
}

std::string CControl::Swap(size_t unit, const Words& words)
{
    // swap A B: the two playbacks change places, told as the controller tells a swap it was sent.
    uint32_t a = 0;
    uint32_t b = 0;
    if (words.size() != 3 || !ParseU32(words[1], a) || !ParseU32(words[2], b) || a >= kPlaybackCount ||
        b >= kPlaybackCount || a == b)
        return "error usage: swap A B";
    CController& controller = m_target.GetController(unit);
    CMessage swap(MANAGER_PLAYBACK_MANAGER, COMMAND_SWAP);
    swap.SetIndex0(a);
    swap.SetIndex1(b);
    swap.SetSequence(controller.GetLastSequence());
    m_target.SendNotifies(unit, controller.Apply(swap).notifies);
    return kOk;
}

std::string CControl::RawNotify(size_t unit, const Words& words)
{
    // notify MANAGER INDEX0 INDEX1 INDEX2 CODE [SEQUENCE]
    uint32_t numbers[6] = {};
    if (words.size() < 6 || words.size() > 7)
        return "error usage: notify manager index0 index1 index2 code [sequence]";
    for (size_t i = 1; i < words.size(); ++i)
    {
        if (!ParseU32(words[i], numbers[i - 1]))
            return kBadValue;
    }
    if (numbers[0] >= MANAGER_MAX)
        return kBadValue;
    const uint16_t sequence = words.size() == 7 ? static_cast<uint16_t>(numbers[5])
                                                : m_target.GetController(unit).GetLastSequence();
    m_target.SendNotifies(unit, {CController::MakeNotify(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4],
                                                         sequence)});
    return kOk;
}
}  // namespace standin
