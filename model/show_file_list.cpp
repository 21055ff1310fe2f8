#include "model/show_file_list.h"

#include "foundation/file_helpers.h"
#include "foundation/file_replace.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "foundation/xml_file.h"
#include "model/show_file.h"
#include "model/show_message.h"
#include "model/show_xml.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <tinyxml.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
const char* const kLogCategory = "FileManager";
// Entries named like shows that are not regular files, named one a line in the log; the rest are
// summed up in one line.
constexpr size_t kMostPassedOverLines = 8;

// Whether the header read of an XML file is that of a main-product show; why says for the log why
// a file was not read, where it was not.
bool IsMainProductHeader(const std::string& path, const CShowHeader& header, std::string& why)
{
    const CXmlRead& read = header.read;
    if (read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUnreadable)
        why = DescribeXmlRead(path, read);
    return read.IsRead() && header.mainProduct.value_or(false);
}

// By name, byte by byte as unsigned values, a proper prefix first.
bool CompareFiles(const std::unique_ptr<CFile>& a, const std::unique_ptr<CFile>& b)
{
    return a->GetName() < b->GetName();
}

}  // namespace

CFileManager::CFileManager() = default;

CFileManager::CFileManager(const std::string& folder) : m_folder(folder), m_folderGiven(true)
{
}

CFileManager::~CFileManager()
{
    m_current = nullptr;
    DeleteBackwards(m_files);
}

void CFileManager::SetCore(CCore* core)
{
    m_core = core;
    // Once, at start: what a save killed half-way left in the show folder goes.
    const std::string folder = m_folderGiven ? m_folder : CApp::GetApplicationDataPath();
    size_t left = 0;
    for (const std::string& name : RemoveInterruptedReplaces(folder, &left))
        CApp::Log(kLogCategory, "Removed " + name + ", left by a save that was cut short", 1);
    if (left > 0)
        CApp::Log(kLogCategory, std::to_string(left) + " more files left by saves cut short wait for later starts", 1);
    Refresh();
}

void CFileManager::Refresh()
{
    if (!m_folderGiven)
        m_folder = CApp::GetApplicationDataPath();
    m_headers.BeginListing(kListingReadBudget);
    m_listing = true;
    m_fileLines = 0;
    // Every file object goes, the open one too: nobody may keep pointing at it.
    SetCurrentFile(nullptr);
    bool changed = !m_files.empty();
    DeleteBackwards(m_files);
    // Without a data folder nothing is listed (an empty path would list the working folder).
    if (!m_folder.empty())
    {
        std::vector<std::string> paths;
        CPassedOver passedOver(kMostPassedOverLines);
        size_t left = ListFirstFiles(m_folder, "*.show", kMostShowFiles, paths, &passedOver);
        for (const std::string& line : DescribePassedOver("Not listed", m_folder, passedOver))
            CApp::Log(kLogCategory, line, 1);
        for (const std::string& path : paths)
        {
            m_files.push_back(std::make_unique<CFile>(this, m_core, path));
            changed = true;
        }
        size_t listed = paths.size();
        paths.clear();
        left += ListFirstFiles(m_folder, "*.xml", kMostShowFiles, paths);
        listed += paths.size();
        for (const std::string& path : paths)
        {
            std::string why;
            const bool show = IsMainProductHeader(path, m_headers.Read(path), why);
            if (!why.empty())
                LogAboutFile(kLogCategory, why);
            if (!show)
                continue;
            m_files.push_back(std::make_unique<CFile>(this, m_core, path));
            changed = true;
        }
        if (left > 0)
            CApp::Log(kLogCategory,
                      DescribeLeft(m_folder, left, left + listed, "files",
                                   std::to_string(kMostShowFiles) + " \".show\" and as many \".xml\" files"),
                      1);
        if (m_fileLines > kMostFileLines)
            CApp::Log(kLogCategory,
                      "Left out of the log: " + std::to_string(m_fileLines - kMostFileLines) +
                          " more lines about the files of \"" + m_folder + "\"",
                      1);
    }
    m_listing = false;
    m_headers.EndListing();
    std::stable_sort(m_files.begin(), m_files.end(), CompareFiles);
    if (changed)
        Notify(NOTIFY_LIST);
}

CFile* CFileManager::GetFile(uint32_t index) const
{
    return ItemAt(m_files, index);
}

int32_t CFileManager::IndexOf(const CFile* file) const
{
    return PositionIn(m_files, file);
}

CFile* CFileManager::FindFile(const std::string& name) const
{
    for (const auto& file : m_files)
    {
        if (file->GetName() == name)
            return file.get();
    }
    return nullptr;
}

void CFileManager::SetCurrentFile(CFile* file)
{
    if (file == m_current)
        return;
    m_current = file;
    Notify(NOTIFY_SELECTION);
}

void CFileManager::AttachFiles(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& file : m_files)
        set->Add(observer, file.get());
}

std::string CFileManager::NewShowName() const
{
    for (uint32_t n = 1;; ++n)
    {
        const std::string name = "show" + std::to_string(n);
        // The list may be older than the folder: a file on disk is never written over.
        if (!FindFile(name) && (m_folder.empty() || !PathExists(JoinPath(m_folder, name + ".show"))))
            return name;
    }
}

CFile* CFileManager::CreateShowFile()
{
    m_error.clear();
    m_errorName.clear();
    if (m_folder.empty())
    {
        Fail(CShowMessage("There is no folder for show files."));
        return nullptr;
    }
    auto file = std::make_unique<CFile>(this, m_core, JoinPath(m_folder, NewShowName() + ".show"));
    // Listed only once it is on disk, so the list never offers a show that is not there.
    if (!file->Save(true))
    {
        m_error = file->GetError();
        m_errorName = file->GetErrorName();
        return nullptr;
    }
    CFile* created = file.get();
    m_files.push_back(std::move(file));
    Notify(NOTIFY_LIST);
    return created;
}

bool CFileManager::RemoveFile(CFile* file)
{
    m_error.clear();
    m_errorName.clear();
    if (!file)
        return false;
    if (!file->CheckWritable())
    {
        Fail(CShowMessage("The show \"%1\" is read-only and cannot be deleted.").With(file->GetName()));
        return false;
    }
    const std::string& path = file->GetPath();
    if (PathExists(path) && std::remove(path.c_str()) != 0)
    {
        Fail(CShowMessage("The show \"%1\" could not be deleted: %2.").With(file->GetName()).WithSystemError(errno));
        return false;
    }
    if (file == m_current)
        SetCurrentFile(nullptr);
    const int32_t index = IndexOf(file);
    if (index >= 0)
    {
        // Out of the list before it goes, as in DeleteBackwards.
        const std::unique_ptr<CFile> removed = std::move(m_files[size_t(index)]);
        m_files.erase(m_files.begin() + index);
    }
    Notify(NOTIFY_LIST);
    return true;
}

bool CFileManager::IsShowFile(const std::string& path)
{
    try
    {
        if (FileNameOf(path) == "..")
            return false;
        // What the root's start tag says is enough; the rest of the file is not read.
        std::string why;
        const bool show = IsMainProductHeader(path, CFile::ReadHeader(path), why);
        if (!why.empty())
            CApp::Log(kLogCategory, why, 1);
        return show;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

const CShowHeader& CFileManager::ReadHeader(const std::string& path, const struct stat* status)
{
    return m_headers.Read(path, status);
}

void CFileManager::LogAboutFile(const std::string& category, const std::string& line)
{
    if (m_listing && ++m_fileLines > kMostFileLines)
        return;
    CApp::Log(category, line, 1);
}

void CFileManager::Fail(const CShowMessage& message)
{
    m_error = message.Shown();
    m_errorName = message.Name();
    CApp::Log(kLogCategory, message.Logged(), 1);
}

void CFileManager::DeferLoad(std::unique_ptr<TiXmlDocument> show, bool mainProduct)
{
    m_pending = std::move(show);
    m_pendingMainProduct = mainProduct;
}

void CFileManager::CancelPendingLoad()
{
    m_pending.reset();
}

void CFileManager::ResyncSettled()
{
    if (!m_pending)
        return;
    CFile::SendShow(m_core, std::move(m_pending), m_pendingMainProduct);
}
