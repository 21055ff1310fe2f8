#include "model/show_file.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "foundation/file_replace.h"
#include "foundation/notify_codes.h"
#include "foundation/version.h"
#include "foundation/xml_file.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "model/core.h"
#include "model/fixture_manager.h"
#include "model/playback_manager.h"
#include "model/show_file_list.h"
#include "model/show_header_cache.h"
#include "model/show_message.h"
#include "model/show_xml.h"
#include "shell/app.h"
#include "shell/heap_trim.h"
#include "shell/platform.h"

#include <boost/date_time/gregorian/gregorian.hpp>
#include <tinyxml.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
const char* const kLogCategory = "File";
const char* const kApplication = "Tanzo";
const char* const kMainProduct = "Lumivo";
const char* const kExtension = ".show";

bool IsRegularFile(const std::string& path, struct stat& status)
{
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The parent keeps a copy of what it is handed.
void AddText(TiXmlElement& parent, const char* name, const std::string& text)
{
    TiXmlElement element(name);
    element.InsertEndChild(TiXmlText(text.c_str()));
    parent.InsertEndChild(element);
}

TiXmlElement* AddElement(TiXmlNode& parent, const char* name)
{
    return parent.InsertEndChild(TiXmlElement(name))->ToElement();
}

void WriteHost(TiXmlElement& system)
{
    TiXmlElement* host = AddElement(system, "host");
    AddText(*host, "os", CApp::GetOsName(CApp::GetOsId()));
    const uint32_t count = CApp::GetLocalAddressCount();
    if (count == 0)
        return;
    TiXmlElement* ips = AddElement(*host, "ips");
    for (uint32_t i = 0; i < count; ++i)
        AddText(*ips, "ip", CApp::GetLocalAddress(i).ToText());
}

void WriteDevice(TiXmlElement& system, const CCore* core)
{
    TiXmlElement* element = AddElement(system, "device");
    const CDevice* device =
        core && core->GetDeviceManager() ? core->GetDeviceManager()->GetConnectedDevice() : nullptr;
    if (!device)
        return;
    const std::array<uint8_t, 6>& mac = device->GetMac();
    char macText[24];
    std::snprintf(macText, sizeof(macText), "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    AddText(*element, "mac", macText);
    AddText(*element, "ip", device->GetAddress().ToText());
    AddText(*element, "subnet", device->GetSubnet().ToText());
    AddText(*element, "dhcp", device->GetDhcp() ? "true" : "false");
    AddText(*element, "pcb_version", FormatVersionMajorMinor(device->GetPcbVersion()));
    AddText(*element, "firmware_version", FormatVersionMajorMinor(device->GetFirmwareVersion()));
    AddText(*element, "type", DeviceTypeName(device->GetType()));
}

// The flags the start tag of a show file's root gives. A file in which the reader finds no
// element at the top has unknown flags: it may be a read-only show that cannot be made out.
struct CShowFlags
{
    bool known = false;
    std::optional<bool> readOnly;     // "readonly", where given
    std::optional<bool> mainProduct;  // "application", where given
    std::string why;                  // unknown: the log line that says why
    std::string notice;               // what the reader set right, for the log
};

// The list's manager has them from its cache where the file has not changed since it was read;
// status is the file's, where the caller has it.
CShowFlags ReadFlags(const std::string& path, CFileManager* manager, const struct stat* status = nullptr)
{
    CShowFlags flags;
    CShowHeader own;
    if (!manager)
        own = CFile::ReadHeader(path);
    const CShowHeader& header = manager ? manager->ReadHeader(path, status) : own;
    const CXmlRead& read = header.read;
    if (!read.notice.empty())
        flags.notice = DescribeXmlNotice(path, read);
    if (!header.root)
    {
        CXmlRead why = read;
        if (read.IsRead())
            why.reason = "has no element the reader can find";
        flags.why = DescribeXmlRead(path, why) + "; the show is taken as read-only";
        return flags;
    }
    flags.known = true;
    flags.readOnly = header.readOnly;
    flags.mainProduct = header.mainProduct;
    return flags;
}

// The attributes of a show's root that the list shows.
const std::vector<std::string> kFlags = {"readonly", "application"};

// What the root's start tag read into the document says.
CShowHeader HeaderOf(CXmlRead read, const TiXmlDocument& document)
{
    CShowHeader header;
    header.read = std::move(read);
    const TiXmlElement* root = header.read.IsRead() ? document.RootElement() : nullptr;
    header.root = root != nullptr;
    if (!root || root->ValueStr() != "show")
        return header;
    if (const char* readOnly = root->Attribute("readonly"))
        header.readOnly = EqualIgnoringAsciiCase(readOnly, "true");
    if (const char* application = root->Attribute("application"))
        header.mainProduct = EqualIgnoringAsciiCase(application, kMainProduct);
    return header;
}

// Moves the file unless something exists at the target already.
bool MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace move: look first.
    if (PathExists(to))
    {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}
}  // namespace

CFile::CFile(CFileManager* manager, CCore* core, const std::string& path)
    : m_manager(manager), m_core(core), m_path(path)
{
    Refresh();
}

std::string CFile::GetName() const
{
    return RemoveExtension(FileNameOf(m_path));
}

int32_t CFile::GetIndex() const
{
    return m_manager ? m_manager->IndexOf(this) : -1;
}

std::string CFile::GetDateText() const
{
    std::string date = "not-a-date-time";
    if (m_date != kNoDate)
    {
        try
        {
            date = boost::gregorian::to_simple_string(
                boost::gregorian::date(boost::gregorian::date::date_int_type(m_date)));
        }
        catch (const std::exception&)
        {
        }
    }
    return date + " " + m_time.ToClockString(true, false, false);
}

std::string CFile::GetSizeText() const
{
    if (m_size < 1024)
        return std::to_string(m_size) + " bytes";
    if (m_size > 1048575)
        return std::to_string(m_size / 1048576) + " MB";
    return std::to_string(m_size / 1024) + " kB";
}

CShowHeader CFile::ReadHeader(const std::string& path, CXmlRootTagReader* reader)
{
    TiXmlDocument document;
    CXmlRootTagReader own;
    CXmlRead verdict;
    return HeaderOf((reader ? *reader : own).ReadWhole(path, kMaxBytes, document, verdict, &kFlags), document);
}

CShowHeader CFile::ReadStart(const std::string& path, CXmlRootTagReader* reader)
{
    const size_t glance = reader ? reader->GetGlance() : SIZE_MAX;
    struct stat status;
    // A file within the glance costs no more read whole, and its row is then the reader's verdict.
    if (glance == SIZE_MAX || (::stat(path.c_str(), &status) == 0 && uint64_t(status.st_size) < glance))
        return ReadHeader(path, reader);
    TiXmlDocument document;
    CShowHeader header = HeaderOf(reader->Read(path, kMaxBytes, document, &kFlags), document);
    // Whatever its start says, the reader may refuse what follows it.
    header.checkDue = header.root;
    return header;
}

CXmlRead CFile::CheckWhole(const std::string& path, CXmlRootTagReader* reader)
{
    return reader ? reader->Check(path, kMaxBytes) : CheckXmlFile(path, kMaxBytes);
}

bool CFile::Refuses(const CXmlRead& read)
{
    return read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUndecodable ||
           read.status == XmlReadStatus::kUnreadable;
}

void CFile::Refresh()
{
    m_size = 0;
    m_flagsUnknown = false;
    m_writeProtected = false;
    struct stat status;
    const bool regular = FileNameOf(m_path) != ".." && IsRegularFile(m_path, status);
    if (m_refused && (!regular || CFileStamp::Of(status) != m_refusedStamp))
        m_refused = false;
    if (regular)
    {
        m_size = static_cast<uint64_t>(status.st_size);
        m_writeProtected = IsWriteProtected(m_path, status);
        std::tm local = {};
        const std::time_t written = status.st_mtime;
        if (::localtime_r(&written, &local))
        {
            try
            {
                const boost::gregorian::date day(static_cast<unsigned short>(local.tm_year + 1900),
                                                 static_cast<unsigned short>(local.tm_mon + 1),
                                                 static_cast<unsigned short>(local.tm_mday));
                m_date = static_cast<int32_t>(day.day_number());
                m_time = CTime(static_cast<uint32_t>(local.tm_hour), static_cast<uint32_t>(local.tm_min),
                               static_cast<uint32_t>(local.tm_sec));
            }
            catch (const std::exception&)
            {
            }
        }
        // The list shows only what the root's start tag says: a show of 32 MB is not read whole
        // for it.
        const CShowFlags flags = ReadFlags(m_path, m_manager, &status);
        for (const std::string* line : {&flags.notice, &flags.why})
        {
            if (line->empty())
                continue;
            if (m_manager)
                m_manager->LogAboutFile(kLogCategory, *line);
            else
                CApp::Log(kLogCategory, *line, 1);
        }
        m_flagsUnknown = !flags.known;
        if (flags.readOnly)
            m_readOnly = *flags.readOnly;
        // Without "application" the flags stay as they were (the read-only mark just read still
        // counts).
        if (flags.mainProduct)
        {
            m_mainProduct = *flags.mainProduct;
            m_readOnly = m_readOnly || m_mainProduct;
        }
    }
    Notify(NOTIFY_UNKNOWN);
}

void CFile::BuildDocument(TiXmlDocument& document, bool empty) const
{
    document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", "no"));
    TiXmlElement* show = AddElement(document, "show");
    show->SetAttribute("application", kApplication);
    show->SetAttribute("version", FormatVersion(CApp::GetVersion()).c_str());
    TiXmlElement* system = AddElement(*show, "system");
    WriteHost(*system);
    WriteDevice(*system, m_core);
    TiXmlElement* fixtures = AddElement(*show, "fixtures");
    TiXmlElement* playbacks = AddElement(*show, "playbacks");
    if (empty || !m_core)
        return;
    if (const CFixtureManager* patch = m_core->GetFixtureManager())
        patch->WriteXml(fixtures);
    if (const CPlaybackManager* manager = m_core->GetPlaybackManager())
        manager->Save(*playbacks);
}

bool CFile::CheckWritable()
{
    ForgetRefusalOfAnotherFile();
    if (IsReadOnly())
        return false;
    struct stat status;
    if (!IsRegularFile(m_path, status))
        return true;
    if (!IsWriteProtected(m_path, status))
    {
        // Read again whatever a cache holds, and whole: this guards what replaces or removes the
        // file, and nothing is written over a show the program could not open, whatever its start.
        const CShowHeader header = ReadHeader(m_path);
        if (Refuses(header.read))
        {
            CApp::Log(kLogCategory, DescribeXmlRead(m_path, header.read) + "; the show is taken as read-only", 1);
            MarkRefused();
            return false;
        }
        if (header.root && !header.readOnly.value_or(false) && !header.mainProduct.value_or(false))
            return true;
    }
    // Made read-only since it was described: the list shows it as it is now.
    Refresh();
    return false;
}

bool CFile::Save(bool empty)
{
    if (!CheckWritable())
        return Fail(CShowMessage("The show \"%1\" is read-only and cannot be saved.").With(GetName()));
    TiXmlDocument document;
    BuildDocument(document, empty);
    TiXmlPrinter printer;
    document.Accept(&printer);
    // A file that this reader could not open again is no saved show: the old file stays.
    TiXmlDocument check;
    check.Parse(printer.CStr());
    if (check.Error())
        return Fail(CShowMessage("The show \"%1\" could not be saved: it would not read back.")
                        .With(GetName())
                        .WithDetail(check.ErrorDesc()));
    int error = 0;
    if (!ReplaceFile(m_path, printer.Str(), error))
        return Fail(CShowMessage("The show \"%1\" could not be saved: %2.").With(GetName()).WithSystemError(error));
    m_error.clear();
    m_errorName.clear();
    if (m_manager)
        m_manager->KeepListed(m_path);
    Notify(FILE_NOTIFY_SAVED);
    Refresh();
    return true;
}

bool CFile::Load()
{
    ForgetRefusalOfAnotherFile();
    CHeapTrim::BeforeLargeWork();
    auto document = std::make_unique<TiXmlDocument>();
    CXmlRead read;
    if (FileNameOf(m_path) == "..")
        read.status = XmlReadStatus::kMissing;
    else
        read = ReadXmlFile(m_path, kMaxBytes, *document);
    // What the reader took for a file it did not read, its text and what that decoded to as large
    // as the bound (some 100 MB in all), goes back to the system as a load's does.
    if (!read.IsRead())
        CHeapTrim::AfterLargeWork();
    if (!read.notice.empty())
        CApp::Log(kLogCategory, DescribeXmlNotice(m_path, read), 1);
    if (read.status == XmlReadStatus::kMalformed)
    {
        if (read.line <= 0)
            return Fail(CShowMessage("The show \"%1\" cannot be opened: the file is damaged. Nothing was changed.")
                            .With(GetName())
                            .WithDetail(read.error));
        return Fail(CShowMessage("The show \"%1\" cannot be opened: the file is damaged (line %2, column %3). "
                                 "Nothing was changed.")
                        .With(GetName())
                        .With(std::to_string(read.line))
                        .With(std::to_string(read.column))
                        .WithDetail(read.error));
    }
    if (!read.IsRead())
    {
        struct stat status;
        const bool regular = IsRegularFile(m_path, status);
        const char* why = "the file cannot be read";
        if (read.status == XmlReadStatus::kMissing)
            why = "the file is missing";
        else if (read.status == XmlReadStatus::kRefused)
            why = regular && static_cast<unsigned long long>(status.st_size) > kMaxBytes
                      ? "the file is too large"
                      : "the file nests too deeply or holds too much";
        else if (read.status == XmlReadStatus::kUndecodable)
            why = read.unknownEncoding ? "the file is in an encoding the program cannot read"
                                       : "the file is not in the encoding it gives";
        else if (!regular)
            why = "it is not a regular file";
        // Nothing writes over a show the program cannot open.
        if (read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUndecodable)
            MarkRefused();
        CShowMessage message("The show \"%1\" cannot be opened: %2. Nothing was changed.");
        message.With(GetName()).WithPhrase(why);
        // The log keeps what the reader said where the phrase leaves it out.
        if (read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUndecodable ||
            (read.status == XmlReadStatus::kUnreadable && regular))
            message.WithDetail(read.reason);
        return Fail(message);
    }
    const TiXmlElement* show = document->FirstChildElement("show");
    if (!show)
        return Fail(CShowMessage("The file \"%1\" is not a show: it has no \"show\" element. Nothing was changed.")
                        .With(GetName()));
    const char* application = show->Attribute("application");
    const bool mainProduct = application ? EqualIgnoringAsciiCase(application, kMainProduct) : m_mainProduct;
    m_error.clear();
    m_errorName.clear();
    if (m_manager && m_core && m_core->IsResyncSettling())
    {
        // Compared now with a mirror that the controller has not filled yet, values equal to
        // the mirror's defaults would be left out; the show waits for the resync instead.
        m_manager->DeferLoad(std::move(document), mainProduct);
        return true;
    }
    SendShow(m_core, std::move(document), mainProduct);
    return true;
}

void CFile::SendShow(CCore* core, std::unique_ptr<TiXmlDocument> document, bool mainProduct)
{
    const TiXmlElement* show = document ? document->FirstChildElement("show") : nullptr;
    if (!core || !show)
        return;
    const CShowReadLog log(document->ValueStr());
    // One load, which an abort takes back without the reads queued meanwhile.
    core->GetDeviceManager()->BeginLoad();
    const TiXmlElement* fixtures = show->FirstChildElement("fixtures");
    if (fixtures && core->GetFixtureManager())
        core->GetFixtureManager()->ReadXml(fixtures);
    const TiXmlElement* playbacks = show->FirstChildElement("playbacks");
    if (playbacks && core->GetPlaybackManager())
    {
        if (!mainProduct)
            core->GetPlaybackManager()->Load(playbacks);
        else if (const TiXmlElement* buttons = playbacks->FirstChildElement("buttons"))
            core->GetPlaybackManager()->Load(buttons);
    }
    core->GetDeviceManager()->EndLoad();
    // The document took several times the file's size in small pieces, which the C library keeps
    // for itself once they are freed while the records the load queued stand above them: they go
    // back to the system, where a show of 32 MB left 60 MB and more behind.
    document.reset();
    CHeapTrim::AfterLargeWork();
}

bool CFile::Rename(const std::string& name)
{
    if (!CheckWritable())
        return Fail(CShowMessage("The show \"%1\" is read-only and cannot be renamed.").With(GetName()));
    if (name.empty() || name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        return Fail(CShowMessage("A show name cannot be empty or contain \"/\" or \"\\\"."));
    const std::string target = JoinPath(ParentFolder(m_path), name + kExtension);
    if (target != m_path && !MoveWithoutReplacing(m_path, target))
    {
        const int error = errno;
        if (error == EEXIST)
            return Fail(CShowMessage("A show named \"%1\" exists already.").With(name));
        return Fail(CShowMessage("The show \"%1\" could not be renamed: %2.").With(GetName()).WithSystemError(error));
    }
    m_path = target;
    if (m_manager)
        m_manager->KeepListed(m_path);
    m_error.clear();
    m_errorName.clear();
    Notify(NOTIFY_LABEL);
    return true;
}

void CFile::MarkRefused()
{
    struct stat status;
    if (IsRegularFile(m_path, status))
        MarkRefused(CFileStamp::Of(status));
}

void CFile::MarkRefused(const CFileStamp& stamp)
{
    m_refused = true;
    m_refusedStamp = stamp;
    Notify(NOTIFY_UNKNOWN);
}

void CFile::ForgetRefusalOfAnotherFile()
{
    struct stat status;
    if (m_refused && (!IsRegularFile(m_path, status) || CFileStamp::Of(status) != m_refusedStamp))
        Refresh();
}

bool CFile::Fail(const CShowMessage& message)
{
    m_error = message.Shown();
    m_errorName = message.Name();
    CApp::Log(kLogCategory, message.Logged(), 1);
    return false;
}
