#pragma once

#include <cstdint>
#include <string>

// The personality a fixture is patched with: manufacturer, model and mode labels, and the
// channel-type profile that came with them (two hex digits per DMX channel, channel 1 first), so
// that a fixture keeps its channel count and attribute groups without the library. An empty
// reference means no personality.
//
// It travels to the controller as "manufacturer","model","mode","profile". That form has no
// escaping, so the label setters turn a double quote into two apostrophes: a quote would shift
// every field after it once the text comes back from the controller.
class CPersonalityRef
{
public:
    CPersonalityRef() = default;
    CPersonalityRef(const std::string& manufacturer, const std::string& model, const std::string& mode,
                    const std::string& profile);

    bool operator==(const CPersonalityRef& other) const;
    bool operator!=(const CPersonalityRef& other) const { return !(*this == other); }

    bool IsEmpty() const { return *this == CPersonalityRef(); }

    // The four fields, each between double quotes, separated by commas; fields as they are.
    std::string ToCsv() const;
    // Reads quote to quote, skipping whatever stands between the fields. A field whose closing
    // quote is missing, and every field after it, keeps its value.
    void FromCsv(const std::string& text);

    std::string GetManufacturer() const { return m_manufacturer; }
    std::string GetModel() const { return m_model; }
    std::string GetMode() const { return m_mode; }
    std::string GetProfile() const { return m_profile; }
    void SetManufacturer(const std::string& manufacturer);
    void SetModel(const std::string& model);
    void SetMode(const std::string& mode);
    void SetProfile(const std::string& profile);

    // DMX channels: the profile's length in bytes, halved (an odd byte left over does not count).
    uint32_t GetChannelCount() const { return static_cast<uint32_t>(m_profile.size() / 2); }

private:
    std::string m_manufacturer;
    std::string m_model;
    std::string m_mode;
    std::string m_profile;
};

// The label with each double quote replaced by two apostrophes.
std::string CleanPersonalityLabel(const std::string& label);
