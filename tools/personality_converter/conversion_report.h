#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// What a conversion left out or changed, gathered by reason so that the summary reads as a short
// list: every dropped or cleaned item by name, channels without a group only as counts.
class CConversionReport
{
public:
    void Drop(const std::string& reason, const std::string& item) { m_dropped[reason].push_back(item); }
    void Clean(const std::string& reason, const std::string& item) { m_cleaned[reason].push_back(item); }
    void Lose(const std::string& reason) { ++m_lost[reason]; }

    size_t GetDroppedCount() const { return Total(m_dropped); }
    size_t GetCleanedCount() const { return Total(m_cleaned); }
    size_t GetLostCount() const;
    // Items dropped or cleaned for one reason, in the order they were reported.
    std::vector<std::string> GetDropped(const std::string& reason) const { return Find(m_dropped, reason); }
    std::vector<std::string> GetCleaned(const std::string& reason) const { return Find(m_cleaned, reason); }
    size_t GetLost(const std::string& reason) const;

    // Indented lines for the log, sections in a fixed order and reasons sorted, so that two runs
    // over the same files print the same text.
    std::string Summary() const;

private:
    using CItems = std::map<std::string, std::vector<std::string>>;
    static size_t Total(const CItems& items);
    static std::vector<std::string> Find(const CItems& items, const std::string& reason);

    CItems m_dropped;
    CItems m_cleaned;
    std::map<std::string, size_t> m_lost;
};
