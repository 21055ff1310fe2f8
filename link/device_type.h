#pragma once

#include <cstdint>
#include <string>

// The kinds of hardware unit of the family, as a discovery answer names them by label.
enum : uint32_t
{
    DEVICE_TYPE_KDX1 = 0,
    DEVICE_TYPE_KDX2 = 1,
    DEVICE_TYPE_LUMIVO = 2,
    DEVICE_TYPE_LUMIVO_PRO = 3,
    DEVICE_TYPE_ZINTRAX = 4,
    DEVICE_TYPE_PELOMU = 5,
    DEVICE_TYPE_Q_VENDLET = 6,
    DEVICE_TYPE_EMULATION = 7,
    DEVICE_TYPE_PARVIKE = 8,
    DEVICE_TYPE_MUREL1 = 9,
    DEVICE_TYPE_MUREL2 = 10,
    DEVICE_TYPE_UNKNOWN = 11,
};

// The display name of a unit type; "-" for a type outside the table.
std::string DeviceTypeName(uint32_t type);
// The lower-case key of a unit type; empty for "Parvike" and for a type outside the table.
std::string DeviceTypeKey(uint32_t type);
// The first type whose display name equals the text without regard to ASCII case;
// DEVICE_TYPE_UNKNOWN when none does.
uint32_t DeviceTypeFromName(const std::string& name);
