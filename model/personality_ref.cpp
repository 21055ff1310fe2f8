#include "model/personality_ref.h"

namespace
{
// Takes the text between the next two double quotes of s (from position at) into field;
// false, with field untouched, when either quote is missing.
bool NextQuoted(const std::string& s, size_t& at, std::string& field)
{
    const size_t open = s.find('"', at);
    if (open == std::string::npos)
        return false;
    const size_t close = s.find('"', open + 1);
    if (close == std::string::npos)
        return false;
    field = s.substr(open + 1, close - open - 1);
    at = close + 1;
    return true;
}
}  // namespace

std::string CleanPersonalityLabel(const std::string& label)
{
    if (label.find('"') == std::string::npos)
        return label;
    std::string clean;
    clean.reserve(label.size() + 4);
    for (char c : label)
    {
        if (c == '"')
            clean += "''";
        else
            clean += c;
    }
    return clean;
}

CPersonalityRef::CPersonalityRef(const std::string& manufacturer, const std::string& model,
                                 const std::string& mode, const std::string& profile)
{
    SetManufacturer(manufacturer);
    SetModel(model);
    SetMode(mode);
    SetProfile(profile);
}

bool CPersonalityRef::operator==(const CPersonalityRef& other) const
{
    return m_manufacturer == other.m_manufacturer && m_model == other.m_model && m_mode == other.m_mode &&
           m_profile == other.m_profile;
}

std::string CPersonalityRef::ToCsv() const
{
    return "\"" + m_manufacturer + "\",\"" + m_model + "\",\"" + m_mode + "\",\"" + m_profile + "\"";
}

void CPersonalityRef::FromCsv(const std::string& text)
{
    size_t at = 0;
    std::string* const fields[] = {&m_manufacturer, &m_model, &m_mode, &m_profile};
    for (std::string* field : fields)
    {
        if (!NextQuoted(text, at, *field))
            return;
    }
}

void CPersonalityRef::SetManufacturer(const std::string& manufacturer)
{
    m_manufacturer = CleanPersonalityLabel(manufacturer);
}

void CPersonalityRef::SetModel(const std::string& model)
{
    m_model = CleanPersonalityLabel(model);
}

void CPersonalityRef::SetMode(const std::string& mode)
{
    m_mode = CleanPersonalityLabel(mode);
}

void CPersonalityRef::SetProfile(const std::string& profile)
{
    m_profile = CleanPersonalityLabel(profile);
}
