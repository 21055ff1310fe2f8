#include "link/relayed_notification.h"

#include "foundation/decimal.h"

#include <boost/lexical_cast.hpp>

#include <cstdio>

namespace {

// Cuts the text into fields at each "|"; the last field runs to the end of the text.
class CFieldReader
{
public:
    explicit CFieldReader(const std::string& text) : m_text(text) {}

    bool AtEnd() const { return m_done; }
    std::string Next()
    {
        const size_t bar = m_text.find('|', m_position);
        if (bar == std::string::npos) {
            m_done = true;
            return m_text.substr(m_position);
        }
        std::string field = m_text.substr(m_position, bar - m_position);
        m_position = bar + 1;
        return field;
    }

private:
    const std::string& m_text;
    size_t m_position = 0;
    bool m_done = false;
};

// The whole field as a decimal number with an optional sign; false for anything else.
bool ReadSigned(const std::string& field, int64_t low, int64_t high, int64_t& value)
{
    const char* p = field.c_str();
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9')
        return false;
    const uint64_t limit = negative ? uint64_t(-low) : uint64_t(high);
    const SDecimal scan = ScanDecimal(p, limit);
    if (scan.result != EDecimalScan::kOk || *scan.end != '\0')
        return false;
    value = negative ? -int64_t(scan.value) : int64_t(scan.value);
    return true;
}

}  // namespace

void CProxyMessage::SetIndex(int n, int32_t value)
{
    if (n >= 0 && n < kIndexes)
        m_index[n] = value;
}

void CProxyMessage::ClearIndexes()
{
    for (int32_t& index : m_index)
        index = -1;
}

void CProxyMessage::Clear()
{
    m_firstValue = CValue();
    m_secondValue = CValue();
}

std::string CProxyMessage::ToText() const
{
    std::string text = std::to_string(m_objectClass) + "|" + std::to_string(m_message & 0xFFFF) + "|";
    for (int32_t index : m_index)
        text += std::to_string(index) + "|";
    for (const CValue* value : {&m_firstValue, &m_secondValue}) {
        text += CValue::TypeName(value->GetType());
        text += "|";
        text += value->ToString();
        text += "|";
    }
    return text;
}

bool CProxyMessage::FromText(const std::string& text)
{
    *this = CProxyMessage();
    CFieldReader reader(text);
    int64_t number = 0;

    if (!ReadSigned(reader.Next(), 0, UINT32_MAX, number) || number < 0)
        return false;
    m_objectClass = uint32_t(number);
    if (reader.AtEnd())
        return true;
    if (!ReadSigned(reader.Next(), 0, UINT32_MAX, number) || number < 0)
        return false;
    m_message = uint32_t(number);
    if (reader.AtEnd())
        return true;
    for (int32_t& index : m_index) {
        if (!ReadSigned(reader.Next(), INT32_MIN, INT32_MAX, number))
            return false;
        index = int32_t(number);
        if (reader.AtEnd())
            return true;
    }
    for (CValue* value : {&m_firstValue, &m_secondValue}) {
        const std::string typeName = reader.Next();
        if (typeName.empty())
            return false;
        value->SetType(CValue::TypeFromName(typeName));
        if (reader.AtEnd())
            return true;
        try {
            value->Parse(reader.Next());
        } catch (const boost::bad_lexical_cast&) {
            return false;
        }
        if (reader.AtEnd())
            return true;
    }
    return true;
}
