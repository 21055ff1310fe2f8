#include "tools/personality_converter/library_check.h"

#include "tools/personality_converter/personality_library.h"

#include <tinyxml.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::string LabelOf(const TiXmlElement* element)
{
    const char* label = element->Attribute("label");
    return label ? label : "";
}

// The text a model or mode element starts with: its profile.
std::string ProfileOf(const TiXmlElement* element)
{
    const TiXmlNode* first = element->FirstChild();
    return first && first->ToText() ? first->Value() : "";
}

class CChecker
{
public:
    explicit CChecker(SLibraryCheck& result) : m_result(result) {}

    void Manufacturer(const TiXmlNode* node)
    {
        const TiXmlElement* element = node->ToElement();
        if (!element)
            return Problem("a node under the root that is not an element (it reads as an empty manufacturer)");
        ++m_result.manufacturers;
        const std::string label = LabelOf(element);
        Label(label, "manufacturer");
        if (!m_manufacturers.empty() && !LabelLess(m_manufacturers.back(), label))
            Problem("manufacturer \"" + label + "\" is not after \"" + m_manufacturers.back() + "\" in letter order");
        Unique(m_manufacturers, label, "manufacturer " + label);

        std::vector<std::string> models;
        for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        {
            const TiXmlElement* model = child->ToElement();
            if (!model)
            {
                Problem("manufacturer \"" + label + "\": a node that is not an element (it reads as an empty model)");
                continue;
            }
            Model(label, model, models);
        }
    }

private:
    void Problem(const std::string& text) { m_result.problems.push_back(text); }

    void Model(const std::string& manufacturer, const TiXmlElement* element, std::vector<std::string>& models)
    {
        ++m_result.models;
        const std::string label = LabelOf(element);
        const std::string name = manufacturer + " / " + label;
        Label(label, "model of " + manufacturer);
        Unique(models, label, "model " + name);
        const std::string profile = ProfileOf(element);
        Profile(profile, name, manufacturer, label, "");

        std::vector<std::string> modes;
        for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        {
            if (child->ToText())
                continue;
            const TiXmlElement* mode = child->ToElement();
            if (!mode || std::string(mode->Value()) != "mode")
            {
                Problem(name + ": a child that is not a mode element");
                continue;
            }
            ++m_result.modes;
            const std::string modeLabel = LabelOf(mode);
            Label(modeLabel, "mode of " + name);
            Unique(modes, modeLabel, "mode " + name + " / " + modeLabel);
            Profile(ProfileOf(mode), name + " / " + modeLabel, manufacturer, label, modeLabel);
        }
    }

    void Label(const std::string& label, const std::string& what)
    {
        if (label.empty())
            Problem(what + ": empty label");
        else if (CleanLabel(label).label != label)
            Problem(what + ": label \"" + label + "\" needs cleaning (" + CleanLabel(label).changes.front() + ")");
    }

    void Unique(std::vector<std::string>& seen, const std::string& label, const std::string& what)
    {
        for (const std::string& other : seen)
            if (LabelsMatch(other, label))
                return Problem(what + ": the finders cannot tell it from \"" + other + "\"");
        seen.push_back(label);
    }

    void Profile(const std::string& profile, const std::string& what, const std::string& manufacturer,
                 const std::string& model, const std::string& mode)
    {
        if (profile.empty())
            return Problem(what + ": no profile");
        if (profile.size() % 2 != 0 || profile.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
            Problem(what + ": profile is not a string of hex pairs");
        const size_t length = PersonalityTextLength(manufacturer, model, mode, profile.size() / 2);
        m_result.longestText = std::max(m_result.longestText, length);
        if (length > kMaxPersonalityText)
            Problem(what + ": personality text of " + std::to_string(length) + " bytes does not fit a link frame");
    }

    SLibraryCheck& m_result;
    std::vector<std::string> m_manufacturers;
};

}  // namespace

SLibraryCheck CheckLibraryText(const std::string& text)
{
    SLibraryCheck result;
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
    {
        result.problems.push_back(std::string("not XML: ") + document.ErrorDesc());
        return result;
    }
    const TiXmlNode* root = document.FirstChild("personalities");
    if (!root)
    {
        result.problems.push_back("no \"personalities\" root");
        return result;
    }
    CChecker checker(result);
    for (const TiXmlNode* node = root->FirstChild(); node; node = node->NextSibling())
        checker.Manufacturer(node);
    return result;
}

SLibraryCheck CheckLibraryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        SLibraryCheck result;
        result.problems.push_back(path + " cannot be opened");
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return CheckLibraryText(text.str());
}
