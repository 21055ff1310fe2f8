#include "model/personality_manager.h"

#include "foundation/ascii.h"
#include "foundation/owned_list.h"
#include "foundation/xml_element.h"
#include "foundation/xml_file.h"
#include "model/personality_entries.h"
#include "model/personality_ref.h"
#include "shell/app.h"
#include "shell/heap_trim.h"

#include <tinyxml.h>

#include <chrono>
#include <system_error>


namespace
{
const char* const kLogCategory = "PersonalityManager";
// The shipped library is a few hundred kilobytes; a library of every fixture ever made would
// still fit. The text a file decodes to is held to the same bound, so that a file in any
// declared encoding costs what 16 MB of UTF-8 costs at most.
constexpr size_t kMaxBytes = 16 * 1024 * 1024;

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// Elements among the manufacturers, models or modes that are none (another element name, a
// typing slip or another program's library format): each is said in the log with the file and the
// element, up to a count a huge file in another format cannot flood the log past, then how many
// more there were.
class CSkippedElements
{
public:
    void Report(const TiXmlElement& element)
    {
        if (++m_count <= kMaxLines)
        {
            const char* label = element.Attribute("label");
            CApp::Log(kLogCategory,
                      "Not read, no library entry: " + DescribeXmlValue(element, "label", label ? label : ""), 1);
        }
    }
    void ReportOthers(const TiXmlElement* parent, const char* name)
    {
        for (const TiXmlElement* child : XmlChildren(parent, nullptr))
        {
            if (child->ValueStr() != name)
                Report(*child);
        }
    }
    ~CSkippedElements()
    {
        if (m_count > kMaxLines)
            CApp::Log(kLogCategory,
                      "Not read, no library entries: " + std::to_string(m_count - kMaxLines) + " more elements", 1);
    }

private:
    static constexpr uint32_t kMaxLines = 10;
    uint32_t m_count = 0;
};

int32_t LowerInitial(const std::string& label)
{
    // Compared as a signed byte: labels that start with a UTF-8 sequence come below every letter.
    return static_cast<signed char>(LowerAscii(label[0]));
}
}  // namespace

CPersonalityManager::CPersonalityManager() : CPersonalityManager(ReadXmlFile) {}

CPersonalityManager::CPersonalityManager(CFileReader reader) : m_reader(std::move(reader)) {}

CPersonalityManager::~CPersonalityManager()
{
    // An end waits at worst for the rest of the parse under way, for the worker looks whether to
    // stop only before a file and between manufacturers: measured up to 250 ms for a user's
    // library of 16 MB, its reader's bound (parsed in 320-430 ms), and up to 80 ms for one of
    // 199,990 short manufacturers (7 MB).
    m_stopping = true;
    if (m_reading.valid())
        m_reading.wait();
    DeleteBackwards(m_manufacturers);
}

void CPersonalityManager::Load()
{
    Load(CApp::GetApplicationDataPath(), CApp::GetResourcesSpecificPath());
}

void CPersonalityManager::Load(const std::string& applicationDataFolder, const std::string& resourcesFolder)
{
    // A folder the platform does not know would make the name relative to the working folder.
    if (!applicationDataFolder.empty())
        m_pendingFiles.push_back({JoinFolder(applicationDataFolder, kUserFile), true});
    if (!resourcesFolder.empty())
        m_pendingFiles.push_back({JoinFolder(resourcesFolder, kLibraryFile), false});
}

bool CPersonalityManager::LoadAhead()
{
    if (!m_reading.valid() && !m_pendingFiles.empty())
    {
        std::vector<CPendingFile> files;
        files.swap(m_pendingFiles);
        try
        {
            m_reading = std::async(std::launch::async, [reader = m_reader, files, owner = this,
                                                        stopping = &m_stopping] {
                CRead read;
                ReadFiles(reader, files, owner, *stopping, read);
                // The documents went in this thread's own arena: it gives back what they freed,
                // so that no frame waits for the walk of its free chunks.
                CHeapTrim::AfterLargeWork();
                return read;
            });
        }
        catch (const std::system_error& error)
        {
            // Read on first use instead.
            CApp::Log(kLogCategory, std::string("No thread to read the library ahead: ") + error.what(), 1);
            m_pendingFiles.swap(files);
        }
        return false;
    }
    if (!m_reading.valid() || m_reading.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    TakeOver(m_reading.get());
    return true;
}

void CPersonalityManager::LoadFile(const std::string& path, bool user)
{
    Finish();
    CRead read;
    ReadFiles(m_reader, {{path, user}}, this, m_stopping, read);
    TakeOver(std::move(read));
}

const CPersonalityManager::CManufacturers& CPersonalityManager::Manufacturers() const
{
    // Reading the files changes what the library holds, not what it is: the first look at it
    // reads them.
    if (m_reading.valid() || !m_pendingFiles.empty())
        const_cast<CPersonalityManager*>(this)->Finish();
    return m_manufacturers;
}

void CPersonalityManager::Finish()
{
    // What the worker reads was named before what is still to read.
    if (m_reading.valid())
        TakeOver(m_reading.get());
    if (m_pendingFiles.empty())
        return;
    std::vector<CPendingFile> files;
    files.swap(m_pendingFiles);
    CRead read;
    ReadFiles(m_reader, files, this, m_stopping, read);
    TakeOver(std::move(read));
}

void CPersonalityManager::TakeOver(CRead read)
{
    if (m_manufacturers.empty())
    {
        m_manufacturers.swap(read.manufacturers);
        m_index = std::move(read.index);
        return;
    }
    for (std::unique_ptr<CManufacturer>& manufacturer : read.manufacturers)
        m_manufacturers.push_back(std::move(manufacturer));
    m_index.Make(m_manufacturers);
}

void CPersonalityManager::ReadFiles(const CFileReader& reader, const std::vector<CPendingFile>& files,
                                    CPersonalityManager* owner, const std::atomic<bool>& stopping, CRead& read)
{
    for (const CPendingFile& file : files)
    {
        if (stopping)
            return;
        const std::string& path = file.path;
        TiXmlDocument document;
        const CXmlRead result = reader(path, kMaxBytes, document);
        // Only a missing file is no news: the user's own library is there only when made.
        if (!result.IsRead() && result.status != XmlReadStatus::kMissing)
            CApp::Log(kLogCategory, DescribeXmlRead(path, result), 1);
        if (!result.notice.empty())
            CApp::Log(kLogCategory, DescribeXmlNotice(path, result), 1);
        if (!result.IsRead())
            continue;
        const TiXmlElement* root = document.FirstChildElement("personalities");
        if (!root)
        {
            CApp::Log(kLogCategory, "Not read: \"" + path + "\" has no \"personalities\" element", 1);
            continue;
        }
        // Only "manufacturer" elements are manufacturers, only "model" elements models and only
        // "mode" elements modes: comments, other nodes and elements of other names are none, and
        // the elements are said in the log.
        CSkippedElements skipped;
        for (const TiXmlElement* child : XmlChildren(root, nullptr))
        {
            if (stopping)
                return;
            if (child->ValueStr() != "manufacturer")
            {
                skipped.Report(*child);
                continue;
            }
            read.manufacturers.push_back(std::make_unique<CManufacturer>(owner));
            CManufacturer* manufacturer = read.manufacturers.back().get();
            manufacturer->ReadXml(child);
            skipped.ReportOthers(child, "model");
            // A model's modes under another name would leave it listed with no mode to choose.
            for (const TiXmlElement* model : XmlChildren(child, "model"))
                skipped.ReportOthers(model, "mode");
            if (file.user)
                manufacturer->SetLabel("[" + manufacturer->GetLabel() + "]");
        }
    }
    read.index.Make(read.manufacturers);
}

CManufacturer* CPersonalityManager::GetManufacturer(uint32_t index) const
{
    return ItemAt(Manufacturers(), index);
}

int32_t CPersonalityManager::GetManufacturerIndex(const CManufacturer* manufacturer) const
{
    return PositionIn(Manufacturers(), manufacturer);
}

CManufacturer* CPersonalityManager::FindManufacturer(const std::string& label) const
{
    return m_index.Find(Manufacturers(), label);
}

CManufacturer* CPersonalityManager::FindByInitial(int32_t letter) const
{
    const std::vector<std::unique_ptr<CManufacturer>>& all = Manufacturers();
    if (all.empty())
        return nullptr;
    for (size_t i = 0;; ++i)
    {
        CManufacturer* current = all[i].get();
        const std::string& label = current->GetLabel();
        if (label.empty() || LowerInitial(label) >= letter || i + 1 == all.size())
            return current;
        const std::string& next = all[i + 1]->GetLabel();
        if (next.empty() || LowerInitial(next) > letter)
            return current;
    }
}

std::string CPersonalityManager::GetProfile(const CPersonalityRef& personality) const
{
    const CManufacturer* manufacturer = FindManufacturer(personality.GetManufacturer());
    return manufacturer ? manufacturer->GetProfile(personality) : std::string();
}

uint32_t CPersonalityManager::CountModels() const
{
    uint32_t count = 0;
    for (const auto& manufacturer : Manufacturers())
        count += manufacturer->GetModelCount();
    return count;
}

uint32_t CPersonalityManager::CountModes() const
{
    uint32_t count = 0;
    for (const auto& manufacturer : Manufacturers())
    {
        for (uint32_t i = 0; i < manufacturer->GetModelCount(); ++i)
            count += manufacturer->GetModel(i)->GetModeCount();
    }
    return count;
}
