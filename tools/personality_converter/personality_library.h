#pragma once

#include "tools/personality_converter/conversion_report.h"
#include "tools/personality_converter/fixture_definition.h"

#include <cstddef>
#include <string>
#include <vector>

// A fixture's personality travels to the controller as the text "maker","model","mode","profile"
// in one link frame, whose text holds at most this many bytes.
constexpr size_t kMaxPersonalityText = 1003;
// Longer labels are cut: the personality dialog shows them in narrow list cells.
constexpr size_t kMaxLabelBytes = 64;

// Length of the personality text of a reference with these labels and channel count.
size_t PersonalityTextLength(const std::string& manufacturer, const std::string& model,
                             const std::string& mode, size_t channels);

// The order of manufacturers and models in the library: ASCII case folded, bytes compared as
// signed values, as the personality dialog's letter jump walks them (a label starting with a byte
// above 0x7F stands before the letters).
bool LabelLess(const std::string& a, const std::string& b);
// Equality as the library's finders see it: same length, ASCII case ignored.
bool LabelsMatch(const std::string& a, const std::string& b);

struct SCleanLabel
{
    std::string label;
    // What was changed, in words for the log; empty when the label was fine as it was.
    std::vector<std::string> changes;
};

// Makes a label safe to carry in the unescaped personality text and to show: a double quote
// becomes two apostrophes (it would end the field), control characters and bytes that are not
// UTF-8 become blanks or "?", runs of blanks become one, the ends are trimmed, and the result
// is cut to kMaxLabelBytes at a character boundary.
SCleanLabel CleanLabel(const std::string& raw);

// The library as the program reads it, built from fixture definitions: manufacturers and their
// models sorted without regard to ASCII case (the letter jump of the personality dialog walks the
// list in that order), modes in the order of their definition, the first mode's profile standing
// as the model's own. Whatever the format cannot carry is cleaned or dropped and reported.
class CPersonalityLibrary
{
public:
    // `source` names the file in the report.
    void Add(const CFixtureDefinition& definition, const std::string& source);
    void AddUnreadable(const std::string& source, const std::string& error);

    // Merges the spellings of a manufacturer, drops duplicates and modes too long for a link frame,
    // and sorts. Call once, after the last Add.
    void Finish();

    // The library file; the same additions always give the same bytes.
    std::string ToXml() const;

    size_t GetManufacturerCount() const { return m_manufacturers.size(); }
    size_t GetModelCount() const;
    size_t GetModeCount() const;
    size_t GetLongestText() const { return m_longestText; }
    const CConversionReport& GetReport() const { return m_report; }

private:
    struct SMode
    {
        std::string label;
        std::string profile;
    };
    struct SModel
    {
        std::string source;
        std::string manufacturer;
        std::string label;
        std::vector<SMode> modes;
    };
    struct SManufacturer
    {
        std::string label;
        std::vector<SModel> models;
    };

    std::vector<SModel> m_added;
    std::vector<SManufacturer> m_manufacturers;
    size_t m_longestText = 0;
    CConversionReport m_report;
};
