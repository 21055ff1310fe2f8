#pragma once

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

// A fresh, empty folder for the running test case. ctest runs test cases in parallel
// processes, so every case gets a folder of its own, named after its suite and case.
inline boost::filesystem::path FreshTestFolder(const std::string& part = "")
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-tests";
    if (!part.empty())
        name += "." + part;
    const boost::filesystem::path dir = boost::filesystem::path(TANZO_BINARY_DIR) / "test-files" / name;
    boost::filesystem::remove_all(dir);
    boost::filesystem::create_directories(dir);
    return dir;
}

// Leaves something at the path that exists but cannot be read. Permissions stop everyone but
// root, and tests may run as root: there the path becomes a link to the reading process's own
// memory, a regular file whose first page is never mapped, so its first read fails (EIO) for
// anyone.
inline void MakeUnreadable(const std::string& path)
{
    if (!boost::filesystem::exists(path))
        std::ofstream(path) << "x";
    ::chmod(path.c_str(), 0);
    if (::access(path.c_str(), R_OK) != 0)
        return;
    boost::filesystem::remove(path);
    boost::filesystem::create_symlink("/proc/self/mem", path);
}

// A fresh folder of its own under the system's temporary folder, removed with the object: for
// paths that must stay short or outside the build tree.
class CTempFolder
{
public:
    explicit CTempFolder(const std::string& prefix = "tanzo-test")
    {
        std::string pattern = (boost::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~CTempFolder()
    {
        boost::system::error_code error;
        if (!m_path.empty())
            boost::filesystem::remove_all(m_path, error);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Creates the folder (and any missing parents) inside; returns its path.
    std::string MakeFolder(const std::string& name) const
    {
        const std::string path = *this / name;
        boost::filesystem::create_directories(path);
        return path;
    }
    // Writes the bytes to a file inside, creating missing parent folders; returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = *this / name;
        boost::filesystem::create_directories(boost::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::string m_path;
};
