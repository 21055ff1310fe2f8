#include "link/device_type.h"

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

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualNoCase(const std::string& a, const char* b)
{
    const std::string other(b);
    if (a.size() != other.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (Upper(a[i]) != Upper(other[i]))
            return false;
    }
    return true;
}
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
        if (EqualNoCase(name, kTypes[type].name))
            return type;
    }
    return DEVICE_TYPE_UNKNOWN;
}
