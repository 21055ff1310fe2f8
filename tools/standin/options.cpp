#include "tools/standin/server.h"

#include <fstream>
#include <sstream>

namespace standin
{
namespace
{
bool ParsePort(const std::string& text, uint16_t& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::stoul(text);
    if (value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, ','))
        parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.push_back(std::string());
    return parts;
}

// ADDRESS[,TYPE[,UNITPORT[,LABEL]]]
bool ParseUnit(const std::string& text, SUnitConfig& unit, std::string& error)
{
    const std::vector<std::string> parts = SplitCommas(text);
    if (parts.empty() || parts.size() > 4 || parts[0].empty())
    {
        error = "--unit ADDRESS[,TYPE[,UNITPORT[,LABEL]]]: " + text;
        return false;
    }
    unit.address = parts[0];
    if (parts.size() > 1 && !parts[1].empty())
        unit.type = parts[1];
    if (parts.size() > 2 && !parts[2].empty() && !ParsePort(parts[2], unit.unitPort))
    {
        error = "not a port: " + parts[2];
        return false;
    }
    if (parts.size() > 3)
        unit.label = parts[3];
    return true;
}

// Switches that are control commands under another name: switch, command, takes a value.
struct SFaultSwitch
{
    const char* name;
    const char* command;
    bool takesValue;
};

const SFaultSwitch kFaultSwitches[] = {
    {"--silent", "silent on", false},
    {"--no-discovery", "discovery off", false},
    {"--no-link", "link off", false},
    {"--no-unit", "unit-protocol off", false},
    {"--no-notify", "notify-frames off", false},
    {"--garbage", "garbage on", false},
    {"--unit-wrong-port", "unit-wrong-port on", false},
    {"--delay", "delay", true},
    {"--drop", "drop", true},
    {"--drop-every", "drop-every", true},
    {"--unit-drop", "unit-drop", true},
    {"--notify-sequence", "notify-sequence", true},
    {"--link-source", "link-source", true},
    {"--answer-quirk", "quirk", true},
    {"--misanswer", "misanswer", true},
};
}  // namespace

std::string CommandLineHelp()
{
    return "usage: standin [options]\n"
           "  --unit ADDRESS[,TYPE[,UNITPORT[,LABEL]]]  a unit (repeatable; default 127.0.0.1,KDX-1,16946)\n"
           "  --advertise ADDRESS   the address text of the last unit's discovery answer\n"
           "  --link-port PORT      discovery and link port (default 16945; 0: a free port per unit)\n"
           "  --no-wildcard         do not listen on the wildcard address (no broadcasts)\n"
           "  --control PORT        loopback control socket (0: a free port)\n"
           "  --log FILE            event log (default standard output)\n"
           "  --script FILE         control commands run at start, one a line\n"
           "  --silent --no-discovery --no-link --no-unit --no-notify --garbage --unit-wrong-port\n"
           "  --delay MS --drop N --drop-every N --unit-drop N --notify-sequence N --link-source ADDRESS\n"
           "  --answer-quirk lower|caps-label|bad-ip|empty-port\n"
           "  --misanswer group|\"playback P\"  reads answered with another target\n"
           "Signals: SIGUSR1 stops every answer, SIGUSR2 resumes, SIGTERM ends.\n"
           "standin --send PORT COMMAND...  hands a command to a running stand-in's control port\n";
}

bool ParseCommandLine(int argc, const char* const* argv, SServerOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
            {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--unit")
        {
            SUnitConfig unit;
            if (!value(text) || !ParseUnit(text, unit, error))
                return false;
            options.units.push_back(unit);
        }
        else if (arg == "--advertise")
        {
            if (!value(text))
                return false;
            if (options.units.empty())
                options.units.push_back(SUnitConfig());
            options.units.back().advertise = text;
        }
        else if (arg == "--link-port")
        {
            if (!value(text) || !ParsePort(text, options.linkPort))
            {
                error = "--link-port PORT";
                return false;
            }
        }
        else if (arg == "--no-wildcard")
        {
            options.wildcard = false;
        }
        else if (arg == "--control")
        {
            uint16_t port = 0;
            if (!value(text) || !ParsePort(text, port))
            {
                error = "--control PORT";
                return false;
            }
            options.controlPort = port;
        }
        else if (arg == "--log")
        {
            if (!value(options.logPath))
                return false;
        }
        else if (arg == "--script")
        {
            if (!value(text))
                return false;
            std::ifstream script(text);
            if (!script)
            {
                error = "cannot read " + text;
                return false;
            }
            std::string line;
            while (std::getline(script, line))
                options.commands.push_back(line);
        }
        else
        {
            bool known = false;
            for (const SFaultSwitch& fault : kFaultSwitches)
            {
                if (arg != fault.name)
                    continue;
                known = true;
                std::string command = fault.command;
                if (fault.takesValue)
                {
                    if (!value(text))
                        return false;
                    command += " " + text + (std::string(fault.name) == "--answer-quirk" ? " on" : "");
                }
                options.commands.push_back(command);
            }
            if (!known)
            {
                error = "unknown switch " + arg;
                return false;
            }
        }
    }
    return true;
}
}  // namespace standin
