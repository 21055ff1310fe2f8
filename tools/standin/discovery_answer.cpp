#include "tools/standin/discovery_answer.h"

#include "foundation/ascii.h"

#include <cctype>

namespace standin
{
std::string BuildDiscoveryAnswer(const std::string& label, const std::string& address, uint16_t port,
                                 const SAnswerQuirks& quirks)
{
    std::string prefix = quirks.capitalLabelWord ? "<?xml version=\"1.0\" ?> <zevral_identify LABEL="
                                                 : "<?xml version=\"1.0\" ?> <zevral_identify label=";
    if (quirks.lowerCasePrefix)
        prefix = ToLowerAscii(prefix);
    const std::string ip = quirks.badAddress ? "unit.local" : address;
    const std::string portText = quirks.emptyPort ? "" : std::to_string(port);
    return prefix + "\"" + label + "\"><ip>" + ip + "</ip><port>" + portText + "</port></zevral_identify>";
}
}  // namespace standin
