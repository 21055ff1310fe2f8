#include "shell/platform.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

bool CreateDirectory(const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return true;
    if (mkdir(path.c_str(), 0777) != 0)
    {
        std::printf("Could not create directory: %s\n", path.c_str());
        std::fflush(stdout);
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string ParentFolder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}
