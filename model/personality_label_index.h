#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Labels of the personality library compared as they match: by their bytes after upper-casing
// ASCII letters, a proper prefix first; 0 when they match (same length, same such bytes).
int ComparePersonalityLabels(const std::string& a, const std::string& b);
// A hash of what ComparePersonalityLabels compares: labels that match hash alike.
uint32_t HashPersonalityLabel(const std::string& label);
// How many labels the calling thread compared so far, for the benchmarks and tests that hold a
// look-up to its cost.
uint64_t CountPersonalityLabelComparisons();

// Finds the first entry of a list whose label matches a text, the one a walk of the list in order
// finds, by a binary search over the labels' hashes and a comparison or two: a user's library may
// hold 200,000 manufacturers, or a model as many modes, and a show looks up each of its fixtures.
// Labels made to share a hash are ordered by their text, so that even they cost a look-up some
// log2(n) comparisons. What it keeps: 8 bytes for each entry and 24 for each list, which for a
// library at its reader's bounds (200,000 entries in each of its two files) is at most some 13 MB
// beside the entries' own; made once the list is read, whose labels must then stay as they are.
template <typename T>
class CPersonalityLabelIndex
{
public:
    using CList = std::vector<std::unique_ptr<T>>;

    void Make(const CList& list)
    {
        std::vector<CKey> keys(list.size());
        for (uint32_t i = 0; i < keys.size(); ++i)
            keys[i] = {HashPersonalityLabel(list[i]->GetLabel()), i};
        // Among labels that match, list order.
        std::sort(keys.begin(), keys.end(), [&list](const CKey& a, const CKey& b) {
            if (a.hash != b.hash)
                return a.hash < b.hash;
            const int compared = ComparePersonalityLabels(list[a.position]->GetLabel(), list[b.position]->GetLabel());
            return compared != 0 ? compared < 0 : a.position < b.position;
        });
        m_keys.swap(keys);
    }

    // Null when none matches.
    T* Find(const CList& list, const std::string& label) const
    {
        const uint32_t hash = HashPersonalityLabel(label);
        const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), hash, [&](const CKey& key, uint32_t) {
            if (key.hash != hash)
                return key.hash < hash;
            return ComparePersonalityLabels(list[key.position]->GetLabel(), label) < 0;
        });
        if (at == m_keys.end() || at->hash != hash || ComparePersonalityLabels(list[at->position]->GetLabel(), label) != 0)
            return nullptr;
        return list[at->position].get();
    }

private:
    struct CKey
    {
        uint32_t hash;
        uint32_t position;
    };
    std::vector<CKey> m_keys;
};
