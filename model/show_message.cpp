#include "model/show_message.h"

#include "foundation/file_helpers.h"
#include "shell/app.h"

#include <cerrno>

namespace
{
// The failures a show's file meets in practice, in words an operator can act on; anything else
// is the system's error, named by its own words.
const char* SystemErrorPhrase(int error)
{
    switch (error)
    {
    case ENOSPC:
        return "the disk is full";
    case EDQUOT:
        return "the disk quota is used up";
    case EACCES:
    case EPERM:
        return "access was denied";
    case EROFS:
        return "the disk is read-only";
    case EIO:
        return "the disk reported an error";
    case ENOENT:
    case ENOTDIR:
        return "the file or its folder is missing";
    case ENAMETOOLONG:
        return "the name is too long";
    case ELOOP:
        return "the symbolic links that lead to it go round in a loop or are more than 40";
    case EBUSY:
    case ETXTBSY:
        return "the file is in use";
    case EISDIR:
    case ENOTEMPTY:
    case kErrorNotRegularFile:
        return "it is not a regular file";
    default:
        return "the system reported an error";
    }
}

// The phrase with each "%n" replaced by the nth value (from 1); what the values hold is not
// looked into again.
template <typename Text>
std::string Fill(const std::string& phrase, size_t count, Text text)
{
    std::string out;
    for (size_t i = 0; i < phrase.size(); ++i)
    {
        const char next = i + 1 < phrase.size() ? phrase[i + 1] : '\0';
        if (phrase[i] == '%' && next >= '1' && next <= '9' && size_t(next - '1') < count)
        {
            out += text(size_t(next - '1'));
            ++i;
        }
        else
        {
            out += phrase[i];
        }
    }
    return out;
}
}  // namespace

CShowMessage& CShowMessage::With(const std::string& value)
{
    m_values.push_back({value, value, false});
    return *this;
}

CShowMessage& CShowMessage::WithPhrase(const std::string& phrase)
{
    m_values.push_back({phrase, phrase, true});
    return *this;
}

CShowMessage& CShowMessage::WithSystemError(int error)
{
    m_values.push_back({SystemErrorPhrase(error), DescribeFileError(error), true});
    return *this;
}

CShowMessage& CShowMessage::WithDetail(const std::string& detail)
{
    m_detail = detail;
    return *this;
}

std::string CShowMessage::Shown() const
{
    return Fill(CApp::Translate(m_phrase, false), m_values.size(), [this](size_t i) {
        return m_values[i].translate ? CApp::Translate(m_values[i].text, false) : m_values[i].text;
    });
}

std::string CShowMessage::Name() const
{
    return m_values.empty() || m_values[0].translate ? std::string() : m_values[0].text;
}

std::string CShowMessage::Logged() const
{
    const std::string text = Fill(m_phrase, m_values.size(), [this](size_t i) { return m_values[i].logged; });
    return m_detail.empty() ? text : text + " (" + m_detail + ")";
}
