#include "tools/personality_converter/personality_library.h"

#include "foundation/ascii.h"

#include <algorithm>
#include <map>

namespace {

// Length of the UTF-8 sequence starting at text[i], 0 when the bytes there are not one.
size_t Utf8Length(const std::string& text, size_t i)
{
    const auto byte = [&text](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t n = 0;
    unsigned min = 0;
    unsigned value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2, min = 0x80, value = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3, min = 0x800, value = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4, min = 0x10000, value = lead & 0x07;
    else
        return 0;
    if (i + n > text.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
    {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return n;
}

std::string Hex(const std::vector<uint8_t>& codes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(codes.size() * 2);
    for (uint8_t c : codes)
    {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string EscapeAttribute(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

}  // namespace

bool LabelLess(const std::string& a, const std::string& b)
{
    const std::string la = ToLowerAscii(a);
    const std::string lb = ToLowerAscii(b);
    return std::lexicographical_compare(la.begin(), la.end(), lb.begin(), lb.end(), [](char x, char y) {
        return static_cast<signed char>(x) < static_cast<signed char>(y);
    });
}

bool LabelsMatch(const std::string& a, const std::string& b)
{
    return EqualIgnoringAsciiCase(a, b);
}

size_t PersonalityTextLength(const std::string& manufacturer, const std::string& model,
                             const std::string& mode, size_t channels)
{
    // Four fields, each in a pair of double quotes, and three commas between them.
    return 11 + manufacturer.size() + model.size() + mode.size() + 2 * channels;
}

SCleanLabel CleanLabel(const std::string& raw)
{
    SCleanLabel result;
    bool quote = false, control = false, invalid = false;
    std::string text;
    for (size_t i = 0; i < raw.size();)
    {
        const unsigned char c = static_cast<unsigned char>(raw[i]);
        if (c == '"')
            text += "''", quote = true, ++i;
        else if (c < 0x20 || c == 0x7F)
            text += ' ', control = true, ++i;
        else if (const size_t n = Utf8Length(raw, i))
            text.append(raw, i, n), i += n;
        else
            text += '?', invalid = true, ++i;
    }
    std::string collapsed;
    for (char c : text)
        if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' '))
            collapsed += c;
    if (!collapsed.empty() && collapsed.back() == ' ')
        collapsed.pop_back();
    const bool blanks = collapsed.size() != text.size();
    bool cut = false;
    if (collapsed.size() > kMaxLabelBytes)
    {
        size_t end = kMaxLabelBytes;
        while (end > 0 && (static_cast<unsigned char>(collapsed[end]) & 0xC0) == 0x80)
            --end;
        collapsed.resize(end);
        while (!collapsed.empty() && collapsed.back() == ' ')
            collapsed.pop_back();
        cut = true;
    }
    if (quote)
        result.changes.push_back("double quote replaced by two apostrophes");
    if (control)
        result.changes.push_back("control characters (line breaks, tabs) replaced by blanks");
    if (invalid)
        result.changes.push_back("bytes that are not UTF-8 replaced by \"?\"");
    if (blanks)
        result.changes.push_back("blanks trimmed or collapsed");
    if (cut)
        result.changes.push_back("cut to " + std::to_string(kMaxLabelBytes) + " bytes");
    result.label = std::move(collapsed);
    return result;
}

void CPersonalityLibrary::AddUnreadable(const std::string& source, const std::string& error)
{
    m_report.Drop("file not readable as a fixture definition", source + ": " + error);
}

void CPersonalityLibrary::Add(const CFixtureDefinition& definition, const std::string& source)
{
    for (const CFixtureDefinition::SLoss& loss : definition.GetLosses())
        m_report.Lose(loss.reason);
    for (const std::string& name : definition.GetUndefinedChannels())
        m_report.Clean("mode names a channel that is not defined; written as unused", source + ": " + Quoted(name));

    const auto clean = [this, &source](const std::string& raw) {
        SCleanLabel cleaned = CleanLabel(raw);
        for (const std::string& change : cleaned.changes)
            m_report.Clean(change, source + ": " + Quoted(raw) + " -> " + Quoted(cleaned.label));
        return cleaned.label;
    };
    SModel model;
    model.source = source;
    model.manufacturer = clean(definition.GetManufacturer());
    model.label = clean(definition.GetModel());
    if (model.manufacturer.empty() || model.label.empty())
    {
        m_report.Drop(model.manufacturer.empty() ? "no manufacturer name" : "no model name", source);
        return;
    }
    const std::string name = model.manufacturer + " / " + model.label;
    for (const CFixtureDefinition::SMode& m : definition.GetModes())
    {
        SMode mode;
        mode.label = clean(m.name);
        if (!m.fault.empty())
            m_report.Drop("mode with broken channel numbers", name + " / " + Quoted(m.name) + ": " + m.fault);
        else if (m.codes.empty())
            m_report.Drop("mode without channels", name + " / " + Quoted(m.name));
        else if (mode.label.empty())
            m_report.Drop("mode without a name", name + " (" + std::to_string(m.codes.size()) + " channels)");
        else
        {
            mode.profile = Hex(m.codes);
            model.modes.push_back(std::move(mode));
        }
    }
    if (model.modes.empty())
    {
        m_report.Drop("model without a usable mode", name + " (" + source + ")");
        return;
    }
    m_added.push_back(std::move(model));
}

void CPersonalityLibrary::Finish()
{
    // Spellings of one manufacturer that differ in case only are one manufacturer: the finders
    // ignore case, so a second entry could never be reached. The commonest spelling names it.
    std::map<std::string, std::map<std::string, size_t>> spellings;
    for (const SModel& model : m_added)
        ++spellings[ToLowerAscii(model.manufacturer)][model.manufacturer];
    std::map<std::string, std::string> canonical;
    for (const auto& entry : spellings)
    {
        const std::string* best = nullptr;
        size_t count = 0;
        for (const auto& spelling : entry.second)
            if (spelling.second > count)
                best = &spelling.first, count = spelling.second;
        canonical[entry.first] = *best;
        for (const auto& spelling : entry.second)
            if (spelling.first != *best)
                m_report.Clean("manufacturer spelling merged with the commonest one",
                               Quoted(spelling.first) + " -> " + Quoted(*best));
    }

    std::map<std::string, std::vector<SModel>> byManufacturer;
    for (SModel& model : m_added)
    {
        model.manufacturer = canonical[ToLowerAscii(model.manufacturer)];
        byManufacturer[model.manufacturer].push_back(std::move(model));
    }
    m_added.clear();

    for (auto& entry : byManufacturer)
    {
        std::vector<SModel>& models = entry.second;
        std::stable_sort(models.begin(), models.end(), [](const SModel& a, const SModel& b) {
            if (LabelLess(a.label, b.label))
                return true;
            if (LabelLess(b.label, a.label))
                return false;
            return a.label != b.label ? a.label < b.label : a.source < b.source;
        });
        SManufacturer manufacturer;
        manufacturer.label = entry.first;
        for (SModel& model : models)
        {
            const std::string name = model.manufacturer + " / " + model.label;
            if (!manufacturer.models.empty() && LabelsMatch(manufacturer.models.back().label, model.label))
            {
                m_report.Drop("model name already taken (names compare without regard to case)",
                              name + " (" + model.source + "; kept " + manufacturer.models.back().source + ")");
                continue;
            }
            std::vector<SMode> modes;
            for (SMode& mode : model.modes)
            {
                const bool taken = std::any_of(modes.begin(), modes.end(), [&mode](const SMode& m) {
                    return LabelsMatch(m.label, mode.label);
                });
                const size_t length = PersonalityTextLength(model.manufacturer, model.label, mode.label,
                                                            mode.profile.size() / 2);
                if (taken)
                    m_report.Drop("mode name already taken in its model", name + " / " + Quoted(mode.label));
                else if (length > kMaxPersonalityText)
                    m_report.Drop("personality text longer than a link frame carries (" +
                                      std::to_string(kMaxPersonalityText) + " bytes)",
                                  name + " / " + Quoted(mode.label) + ": " + std::to_string(length) + " bytes, " +
                                      std::to_string(mode.profile.size() / 2) + " channels");
                else
                {
                    m_longestText = std::max(m_longestText, length);
                    modes.push_back(std::move(mode));
                }
            }
            if (modes.empty())
            {
                m_report.Drop("model whose every mode was dropped", name + " (" + model.source + ")");
                continue;
            }
            model.modes = std::move(modes);
            manufacturer.models.push_back(std::move(model));
        }
        if (!manufacturer.models.empty())
            m_manufacturers.push_back(std::move(manufacturer));
    }
    std::stable_sort(m_manufacturers.begin(), m_manufacturers.end(),
                     [](const SManufacturer& a, const SManufacturer& b) {
                         if (LabelLess(a.label, b.label) || LabelLess(b.label, a.label))
                             return LabelLess(a.label, b.label);
                         return a.label < b.label;
                     });
}

size_t CPersonalityLibrary::GetModelCount() const
{
    size_t n = 0;
    for (const SManufacturer& m : m_manufacturers)
        n += m.models.size();
    return n;
}

size_t CPersonalityLibrary::GetModeCount() const
{
    size_t n = 0;
    for (const SManufacturer& m : m_manufacturers)
        for (const SModel& model : m.models)
            n += model.modes.size();
    return n;
}

std::string CPersonalityLibrary::ToXml() const
{
    // The reader takes every node under the root and under a manufacturer as an entry, and a
    // model's own profile from its first child: so no comments inside, and the profile text
    // directly after the model's start tag.
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
        "<!-- Personality library of Tanzo Programmer, generated by tools/personality_converter from\n"
        "     the fixture definitions of Debian's qlcplus-data package (Apache-2.0; see NOTICE.txt).\n"
        "     Do not edit: run the converter again. -->\n"
        "<personalities>\n";
    for (const SManufacturer& manufacturer : m_manufacturers)
    {
        out += "  <manufacturer label=\"" + EscapeAttribute(manufacturer.label) + "\">\n";
        for (const SModel& model : manufacturer.models)
        {
            out += "    <model label=\"" + EscapeAttribute(model.label) + "\">" + model.modes.front().profile;
            for (size_t i = 0; i < model.modes.size(); ++i)
            {
                if (i > 0)
                    out += "\n      ";
                out += "<mode label=\"" + EscapeAttribute(model.modes[i].label) + "\">" + model.modes[i].profile + "</mode>";
            }
            out += "\n    </model>\n";
        }
        out += "  </manufacturer>\n";
    }
    out += "</personalities>\n";
    return out;
}
