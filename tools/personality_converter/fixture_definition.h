#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One fixture definition file (.qxf) reduced to what a personality needs: the maker, the model and,
// per DMX mode, the channel-type code of each channel in channel order. Labels are kept as read;
// cleaning them is the library's business.
class CFixtureDefinition
{
public:
    struct SMode
    {
        std::string name;
        std::vector<uint8_t> codes;
        // Set when the mode's channel numbers are not 0..n-1, each once; such a mode has no codes.
        std::string fault;
    };

    // A channel that found no attribute group, with the reason (see MapChannel).
    struct SLoss
    {
        std::string channel;
        std::string reason;
    };

    // False, with a reason, when the text is not XML or not a fixture definition.
    bool Parse(const std::string& text, std::string& error);
    bool ReadFile(const std::string& path, std::string& error);

    const std::string& GetManufacturer() const { return m_manufacturer; }
    const std::string& GetModel() const { return m_model; }
    const std::vector<SMode>& GetModes() const { return m_modes; }
    // One entry per channel definition that has no group (not per use in a mode).
    const std::vector<SLoss>& GetLosses() const { return m_losses; }
    // Names that modes refer to but that no channel defines; they count as unused channels.
    const std::vector<std::string>& GetUndefinedChannels() const { return m_undefined; }

private:
    std::string m_manufacturer;
    std::string m_model;
    std::vector<SMode> m_modes;
    std::vector<SLoss> m_losses;
    std::vector<std::string> m_undefined;
};
