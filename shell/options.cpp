#include "shell/options.h"

#include "foundation/file_helpers.h"
#include "foundation/file_replace.h"
#include "foundation/whole_number.h"
#include "foundation/xml_element.h"
#include "foundation/xml_file.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

namespace
{
const char* const kLogCategory = "Options";
// A few hundred bytes in use; far more is no options file of this program. The text the file
// decodes to is held to the same bound, whatever encoding it declares.
constexpr size_t kMaxBytes = 1024 * 1024;
// What is kept is bounded so that the file written stays well within what its reader takes:
// some 30 bytes an ignored hint, and a language name is a word or two.
constexpr size_t kMaxIgnoredExplanations = 10000;
constexpr size_t kMaxLanguageBytes = 1024;
// Why a save did not write, beside the system's error numbers and kErrorNotRegularFile.
constexpr int kErrorWriteProtected = -2;
static_assert(kErrorWriteProtected != kErrorNotRegularFile);

std::string PathIn(const std::string& folder)
{
    return folder.empty() ? std::string() : JoinPath(folder, COptions::kFileName);
}

// attribute null names the element's own text.
void ReportUnreadValue(const TiXmlElement& element, const char* attribute, const std::string& text,
                       const char* consequence)
{
    CApp::Log(kLogCategory,
              std::string("Not read, ") + consequence + ": " + DescribeXmlValue(element, attribute, text), 1);
}

void AddTextElement(TiXmlElement& parent, const char* name, const std::string& text)
{
    TiXmlElement element(name);
    if (!text.empty())
        element.InsertEndChild(TiXmlText(text));
    parent.InsertEndChild(element);
}

}  // namespace

COptions::COptions() : COptions(CApp::GetApplicationDataPath())
{
}

COptions::COptions(const std::string& folder) : m_path(PathIn(folder))
{
}

COptions::~COptions()
{
    // Everything the file needs is held here, so this works whatever has gone before.
    if (m_modified)
        Save();
}

void COptions::SetCore(COptionsLink* link, COptionsLanguage* language, COptionsHints* hints)
{
    m_link = link;
    m_languageManager = language;
    m_hints = hints;
    // Once, at start: what a save killed half-way left beside the file goes.
    if (!m_path.empty())
    {
        size_t left = 0;
        for (const std::string& path : RemoveInterruptedReplaces(ParentFolder(m_path), &left))
            CApp::Log(kLogCategory, "Removed " + path + ", left by a save that was cut short", 1);
        if (left > 0)
            CApp::Log(kLogCategory,
                      std::to_string(left) + " more files left by saves cut short wait for later starts", 1);
    }
    Load();
}

bool COptions::Load()
{
    if (m_path.empty())
        return false;
    TiXmlDocument document;
    const CXmlRead read = ReadXmlFile(m_path, kMaxBytes, document);
    if (!read.notice.empty())
        CApp::Log(kLogCategory, DescribeXmlNotice(m_path, read), 1);
    const TiXmlElement* root = read.IsRead() ? document.FirstChildElement("zevral") : nullptr;
    const TiXmlElement* options = root ? root->FirstChildElement("options") : nullptr;
    if (!options)
    {
        if (read.status == XmlReadStatus::kUnreadable && !IsRegularFile(m_path))
        {
            // A pipe, device or folder of that name is the user's doing: it stays as it is.
            m_fileKept = true;
            CApp::Log(kLogCategory, DescribeXmlRead(m_path, read) +
                                        "; it is left as it is, and the settings start afresh and are not saved", 1);
        }
        else if (read.status == XmlReadStatus::kUnreadable || read.status == XmlReadStatus::kRefused ||
                 read.status == XmlReadStatus::kUndecodable || read.status == XmlReadStatus::kMalformed)
            KeepDamagedFile("it " + read.reason);
        else if (read.IsRead())
            KeepDamagedFile("it holds no options");
        return false;
    }

    m_device = CIpAddress();
    m_modified = true;
    for (const TiXmlElement* child = options->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string name = child->ValueStr();
        if (name == "device")
        {
            const std::string text = XmlText(child);
            if (!text.empty())
            {
                // An address that does not read chooses no controller.
                if (!m_device.Parse(TrimBlanks(text)))
                    ReportUnreadValue(*child, nullptr, text, "no controller chosen");
                if (m_link)
                    m_link->SetConnectedAddress(m_device);
            }
            // The address goes first, so a locked file still selects its controller. The lock
            // reads as every yes-or-no of the program's files does; this program writes "true".
            const char* lock = child->Attribute("lock");
            const std::optional<bool> locked = lock ? ReadXmlBool(lock) : std::optional<bool>(false);
            if (!locked)
                ReportUnreadValue(*child, "lock", lock, "unlocked");
            if (locked.value_or(false))
            {
                m_lock = true;
                if (m_link)
                    m_link->SetLocked(true);
            }
        }
        else if (name == "language")
        {
            const std::string text = XmlText(child);
            if (text.size() > kMaxLanguageBytes)
            {
                CApp::Log(kLogCategory, "Not read, no language chosen: a language name of " +
                                            std::to_string(text.size()) + " bytes",
                          1);
            }
            else if (!text.empty())
            {
                m_language = text;
                if (m_languageManager)
                    m_languageManager->SetLanguage(m_language);
            }
        }
        else if (name == "ignore_explanations")
        {
            for (const TiXmlElement* id : XmlChildren(child, "id"))
            {
                const std::string text = XmlText(id);
                if (text.empty())
                    continue;
                // An id that does not read names no hint; the others still count.
                const std::optional<int64_t> value = ReadWholeInteger(text, INT32_MIN, INT32_MAX);
                if (!value)
                {
                    ReportUnreadValue(*id, nullptr, text, "no hint silenced");
                    continue;
                }
                if (m_hints)
                    m_hints->DisableExplanation(int32_t(*value));
                m_ignoredExplanations.push_back(int32_t(*value));
            }
            if (const size_t forgotten = ForgetOldestIgnored())
                ReportForgottenIgnored(forgotten);
        }
    }
    m_modified = false;
    return true;
}

void COptions::KeepDamagedFile(const std::string& why)
{
    // The next save point writes a fresh file over the path; what the user had stays beside it,
    // under a name that says what it is, for whoever wants to look into it.
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (::localtime_r(&now, &local))
        std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    const std::string folder = ParentFolder(m_path);
    std::string kept = JoinPath(folder, std::string("options.damaged-") + stamp + ".xml");
    for (int n = 2; PathExists(kept) && n < 100; ++n)
        kept = JoinPath(folder, std::string("options.damaged-") + stamp + "-" + std::to_string(n) + ".xml");
    if (!PathExists(kept) && std::rename(m_path.c_str(), kept.c_str()) == 0)
        CApp::Log(kLogCategory, m_path + " could not be read (" + why + "); it is kept as " + FileNameOf(kept) +
                                    " and the settings start afresh", 1);
    else
    {
        // What cannot be set aside is not written over either.
        m_fileKept = true;
        CApp::Log(kLogCategory, m_path + " could not be read (" + why + ") nor set aside (" + std::strerror(errno) +
                                    "); it is left as it is, and the settings start afresh and are not saved", 1);
    }
}

bool COptions::Save()
{
    // Said once for all the hints forgotten since the last save point, however many were added.
    if (m_forgottenIgnored > 0)
        ReportForgottenIgnored(m_forgottenIgnored);
    m_forgottenIgnored = 0;
    if (m_path.empty() || m_fileKept)
        return false;
    // A file the user made read-only is theirs: the settings hold for this run only.
    if (IsWriteProtected(m_path))
    {
        if (m_saveError != kErrorWriteProtected)
            CApp::Log(kLogCategory, "Not written: " + m_path +
                                        " is read-only; the settings hold until the program ends", 1);
        m_saveError = kErrorWriteProtected;
        return false;
    }
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", "no"));
    TiXmlElement root("zevral");
    TiXmlElement options("options");

    TiXmlElement device("device");
    device.InsertEndChild(TiXmlText(m_device.ToText()));
    if (m_lock)
        device.SetAttribute("lock", "true");
    options.InsertEndChild(device);
    AddTextElement(options, "language", m_language);
    if (!m_ignoredExplanations.empty())
    {
        TiXmlElement ignored("ignore_explanations");
        for (int32_t id : m_ignoredExplanations)
            AddTextElement(ignored, "id", std::to_string(id));
        options.InsertEndChild(ignored);
    }
    root.InsertEndChild(options);
    document.InsertEndChild(root);

    TiXmlPrinter printer;
    printer.SetIndent("  ");
    document.Accept(&printer);
    int error = 0;
    if (!ReplaceFile(m_path, printer.Str(), error))
    {
        // Retried every few seconds: a folder that stays read-only is said once, not all session.
        if (m_saveError != error)
            CApp::Log(kLogCategory, "Could not write " + m_path + ": " + DescribeFileError(error), 1);
        m_saveError = error;
        return false;
    }
    if (m_saveError)
        CApp::Log(kLogCategory, "Wrote " + m_path + " again", 1);
    m_saveError.reset();
    m_modified = false;
    return true;
}

void COptions::Update(float seconds)
{
    m_saveTimer += seconds;
    if (m_saveTimer < kSavePeriod)
        return;
    m_saveTimer -= kSavePeriod;
    if (m_modified)
        Save();
}

void COptions::SetDevice(const CIpAddress& address)
{
    if (address == m_device && address.GetPort() == m_device.GetPort())
        return;
    m_device = address;
    if (m_link)
        m_link->SetConnectedAddress(m_device);
    m_modified = true;
}

void COptions::ClearDevice()
{
    m_device = CIpAddress();
    m_modified = true;
}

void COptions::SetLock(bool locked)
{
    if (locked == m_lock)
        return;
    m_lock = locked;
    m_modified = true;
}

void COptions::SetLanguage(const std::string& name)
{
    if (name == m_language)
        return;
    if (name.size() > kMaxLanguageBytes)
    {
        CApp::Log(kLogCategory, "Not kept: a language name of " + std::to_string(name.size()) + " bytes", 1);
        return;
    }
    m_language = name;
    if (m_languageManager)
        m_languageManager->SetLanguage(name);
    m_modified = true;
}

void COptions::AddIgnoredExplanation(int32_t id)
{
    m_ignoredExplanations.push_back(id);
    m_forgottenIgnored += ForgetOldestIgnored();
    m_modified = true;
}

size_t COptions::ForgetOldestIgnored()
{
    if (m_ignoredExplanations.size() <= kMaxIgnoredExplanations)
        return 0;
    const size_t dropped = m_ignoredExplanations.size() - kMaxIgnoredExplanations;
    m_ignoredExplanations.erase(m_ignoredExplanations.begin(),
                                m_ignoredExplanations.begin() + std::ptrdiff_t(dropped));
    return dropped;
}

void COptions::ReportForgottenIgnored(size_t count)
{
    CApp::Log(kLogCategory, "The oldest " + std::to_string(count) + " of the ignored hints are forgotten: " +
                                std::to_string(kMaxIgnoredExplanations) + " are kept",
              1);
}
