#pragma once

#include <tinyxml.h>

#include <iterator>
#include <optional>
#include <string>

// What an element holds, read the same way by every reader. A hand-edited file may put comments,
// CDATA sections, processing instructions and elements of other names anywhere; none of them
// may cost or move a value.

// All the element's text: its text and CDATA children joined in order. Comments, processing
// instructions and child elements are passed over. Empty for a null element.
std::string XmlText(const TiXmlElement* element);

// The child elements of one name, in document order; of any name for a null name (for the
// formats that tell their entries by attribute, not by name):
//     for (const TiXmlElement* cue : XmlChildren(cues, "cue"))
class CXmlChildren
{
public:
    class CIterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = const TiXmlElement*;
        using difference_type = std::ptrdiff_t;
        using pointer = const value_type*;
        using reference = const value_type&;

        CIterator(const TiXmlElement* element, const char* name) : m_element(element), m_name(name) {}
        const TiXmlElement* operator*() const { return m_element; }
        CIterator& operator++()
        {
            m_element = m_name ? m_element->NextSiblingElement(m_name) : m_element->NextSiblingElement();
            return *this;
        }
        bool operator!=(const CIterator& other) const { return m_element != other.m_element; }
        bool operator==(const CIterator& other) const { return m_element == other.m_element; }

    private:
        const TiXmlElement* m_element;
        const char* m_name;
    };

    CXmlChildren(const TiXmlNode* parent, const char* name)
        : m_first(!parent ? nullptr : name ? parent->FirstChildElement(name) : parent->FirstChildElement()),
          m_name(name)
    {
    }
    CIterator begin() const { return CIterator(m_first, m_name); }
    CIterator end() const { return CIterator(nullptr, m_name); }
    size_t size() const { return size_t(std::distance(begin(), end())); }

private:
    const TiXmlElement* m_first;
    const char* m_name;
};

inline CXmlChildren XmlChildren(const TiXmlNode* parent, const char* name)
{
    return CXmlChildren(parent, name);
}

// A yes-or-no text as every reader takes it: "true", "on" or "yes" in any letter case is yes;
// "false", "off", "no" or "0" is no; anything else (another writer's "1" or "enabled") is
// neither, for the reader to keep its default and say so.
std::optional<bool> ReadXmlBool(const std::string& text);

// Where a value that could not be read stands, for the log: the file the document was read
// from, the element and the text, as in
//     "/home/op/shows/a.show": playback index="3x"
// An attribute of null names the element's own text. A text longer than 64 bytes is quoted by
// its start and its length.
std::string DescribeXmlValue(const TiXmlElement& element, const char* attribute, const std::string& text);
