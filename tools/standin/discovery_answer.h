#pragma once

#include <cstdint>
#include <string>

namespace standin
{
// Ways to spoil an answer, for tests of the program's discovery reader.
struct SAnswerQuirks
{
    // The whole prefix in lower case (still an answer).
    bool lowerCasePrefix = false;
    // "LABEL=" in capitals: the label is no longer found.
    bool capitalLabelWord = false;
    // An "<ip>" that is no address.
    bool badAddress = false;
    // An empty "<port>".
    bool emptyPort = false;
};

// The XML answer to the discovery request: the unit-type name as label, the address at which the
// unit is reached and the port of its own protocol.
std::string BuildDiscoveryAnswer(const std::string& label, const std::string& address, uint16_t port,
                                 const SAnswerQuirks& quirks = SAnswerQuirks());
}  // namespace standin
