#include "shell/options.h"

#include "foundation/file_helpers.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <tinyxml.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace
{
const char* const kLogCategory = "Options";

std::string PathIn(const std::string& folder)
{
    return folder.empty() ? std::string() : JoinPath(folder, COptions::kFileName);
}

// Leading decimal digits with an optional sign, as a hand-edited file may hold them; no digits
// gives 0 and values beyond 32 bits stop at the nearest end.
int32_t ReadId(const char* text)
{
    errno = 0;
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

std::string DeviceText(const CIpAddress& device)
{
    char text[20];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", device.GetOctet(0), device.GetOctet(1),
                  device.GetOctet(2), device.GetOctet(3));
    return text;
}

void AddTextElement(TiXmlElement& parent, const char* name, const std::string& text)
{
    TiXmlElement element(name);
    if (!text.empty())
        element.InsertEndChild(TiXmlText(text));
    parent.InsertEndChild(element);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// Writes the bytes to a file beside the target, pushes them to the disk and renames the file over
// the target, so the target is always either the old file or the whole new one.
bool ReplaceFile(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size())
    {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
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
    Load();
}

bool COptions::Load()
{
    if (m_path.empty())
        return false;
    // Only a regular file is read: the XML reader would take a folder's size for its length.
    if (!IsRegularFile(m_path))
        return false;
    TiXmlDocument document;
    if (!document.LoadFile(m_path.c_str(), TIXML_ENCODING_UTF8))
        return false;
    TiXmlNode* root = document.FirstChild("zevral");
    TiXmlNode* options = root ? root->FirstChild("options") : nullptr;
    if (!options)
        return false;

    m_device = CIpAddress();
    m_modified = true;
    for (TiXmlElement* child = options->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string name = child->ValueStr();
        if (name == "device")
        {
            if (const char* text = child->GetText())
            {
                m_device.Parse(text);
                if (m_link)
                    m_link->SetConnectedAddress(m_device);
            }
            // The address goes first, so a locked file still selects its controller.
            const char* lock = child->Attribute("lock");
            if (lock && ::strcasecmp(lock, "true") == 0)
            {
                m_lock = true;
                if (m_link)
                    m_link->SetLocked(true);
            }
        }
        else if (name == "language")
        {
            if (const char* text = child->GetText())
            {
                m_language = text;
                if (m_languageManager)
                    m_languageManager->SetLanguage(m_language);
            }
        }
        else if (name == "ignore_explanations")
        {
            for (TiXmlElement* id = child->FirstChildElement("id"); id; id = id->NextSiblingElement("id"))
            {
                const char* text = id->GetText();
                if (!text)
                    continue;
                const int32_t value = ReadId(text);
                if (m_hints)
                    m_hints->DisableExplanation(value);
                m_ignoredExplanations.push_back(value);
            }
        }
    }
    m_modified = false;
    return true;
}

bool COptions::Save()
{
    if (m_path.empty())
        return false;
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", "no"));
    TiXmlElement root("zevral");
    TiXmlElement options("options");

    TiXmlElement device("device");
    device.InsertEndChild(TiXmlText(DeviceText(m_device)));
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
    if (!ReplaceFile(m_path, printer.Str()))
    {
        CApp::Log(kLogCategory, "Could not write " + m_path, 1);
        return false;
    }
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
    m_language = name;
    if (m_languageManager)
        m_languageManager->SetLanguage(name);
    m_modified = true;
}

void COptions::AddIgnoredExplanation(int32_t id)
{
    m_ignoredExplanations.push_back(id);
    m_modified = true;
}
