#include "link/device_type.h"

#include "foundation/ascii.h"

namespace
{
struct STypeEntry
{
    const char* name;
    const char* key;
};

const STypeEntry kTypes[] = {
    {"KDX-1", "tanzo"},      {"KDX-2", "tanzo"},   {"Lumivo", "lumivo"},
    {"LumivoPr", "lumivopro"}, {"Zintrax", "zintrax"}, {"Pelomu", "pelomu"},
    {"Q-Vendlet", "qvendlet"}, {"Emulation", "emulation"}, {"Parvike", ""},
    {"Murel-1", "murel1"},   {"Murel-2", "murel2"},
};
constexpr uint32_t kTypeCount = sizeof(kTypes) / sizeof(kTypes[0]);

}  // namespace

std::string DeviceTypeName(uint32_t type)
{
    return type < kTypeCount ? kTypes[type].name : "-";
}

std::string DeviceTypeKey(uint32_t type)
{
    return type < kTypeCount ? kTypes[type].key : "";
}

uint32_t DeviceTypeFromName(const std::string& name)
{
    for (uint32_t type = 0; type < kTypeCount; ++type)
    {
        if (EqualIgnoringAsciiCase(name, kTypes[type].name))
            return type;
    }
    return DEVICE_TYPE_UNKNOWN;
}
