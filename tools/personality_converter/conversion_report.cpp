#include "tools/personality_converter/conversion_report.h"

#include <sstream>

size_t CConversionReport::Total(const CItems& items)
{
    size_t n = 0;
    for (const auto& entry : items)
        n += entry.second.size();
    return n;
}

std::vector<std::string> CConversionReport::Find(const CItems& items, const std::string& reason)
{
    const auto found = items.find(reason);
    return found == items.end() ? std::vector<std::string>() : found->second;
}

size_t CConversionReport::GetLostCount() const
{
    size_t n = 0;
    for (const auto& entry : m_lost)
        n += entry.second;
    return n;
}

size_t CConversionReport::GetLost(const std::string& reason) const
{
    const auto found = m_lost.find(reason);
    return found == m_lost.end() ? 0 : found->second;
}

std::string CConversionReport::Summary() const
{
    std::ostringstream out;
    const auto section = [&out](const char* title, const CItems& items) {
        out << "  " << title << " (" << Total(items) << ")" << (items.empty() ? "" : ":") << "\n";
        for (const auto& entry : items)
        {
            out << "    " << entry.first << " (" << entry.second.size() << "):\n";
            for (const std::string& item : entry.second)
                out << "      " << item << "\n";
        }
    };
    section("dropped", m_dropped);
    section("cleaned", m_cleaned);
    out << "  channel definitions without an attribute group, written as unused (" << GetLostCount() << ")"
        << (m_lost.empty() ? "" : ":") << "\n";
    for (const auto& entry : m_lost)
        out << "    " << entry.first << ": " << entry.second << "\n";
    return out.str();
}
