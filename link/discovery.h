#pragma once

#include "foundation/ip_address.h"
#include "link/device_type.h"
#include "shell/app.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A unit that answered the discovery broadcast: where its own protocol is reached, and its type.
struct CDiscoveredDevice
{
    CIpAddress address;
    uint32_t type = DEVICE_TYPE_UNKNOWN;
};

// The discovery request: these 15 bytes, without a terminator.
inline constexpr char kDiscoveryRequest[] = "zevral_identify";
inline constexpr size_t kDiscoveryRequestSize = sizeof(kDiscoveryRequest) - 1;
// Every answer begins with these 46 characters, in any letter case.
inline constexpr char kDiscoveryAnswerPrefix[] = "<?xml version=\"1.0\" ?> <zevral_identify label=";
inline constexpr size_t kDiscoveryAnswerPrefixSize = sizeof(kDiscoveryAnswerPrefix) - 1;

// Whether a datagram begins with the request.
bool IsDiscoveryRequest(const uint8_t* bytes, size_t count);
// Whether a datagram's text (up to its first NUL) begins with the answer prefix.
bool IsDiscoveryAnswer(const uint8_t* bytes, size_t count);
// Whether this program talks to units of the type. The types that only the main product serves
// are refused under any other application identity.
bool IsAcceptedDeviceType(uint32_t type, uint32_t identity = CApp::kApplicationIdentity);
// Reads an answer: the label names the type, "<ip>" the address and "<port>" the port of the unit
// protocol. False for anything that is not an accepted answer: no prefix, a refused type, an
// address that is not a usable dotted address, or a port that is not a number.
bool ParseDiscoveryAnswer(const uint8_t* bytes, size_t count, CDiscoveredDevice& out,
                          uint32_t identity = CApp::kApplicationIdentity);
// Whether a unit named in an answer can be talked to as one unit: not this network's wildcard
// (0.0.0.0/8), not the directed broadcast of a subnet of this machine's interfaces by their own
// netmasks, not the limited broadcast, multicast or reserved (224.0.0.0 and above), and a
// loopback address only when the answer itself came over loopback.
bool IsUsableUnitAddress(const CIpAddress& unit, const CIpAddress& sender,
                         const std::vector<CInterfaceAddress>& locals);
