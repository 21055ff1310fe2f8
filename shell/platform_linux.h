#pragma once

#include "shell/platform.h"

// The platform on Linux desktops.
// - Data folders live under $XDG_DATA_HOME (when set and absolute), else $HOME/.local/share,
//   else the password database's home + /.local/share, in the maker's folder "Zevral".
// - Resources lie in "Resources" beside the executable's folder; TANZO_RESOURCES replaces that.
// - URLs go to the desktop's opener as one argument, never through a shell.
class CPlatformLinux : public CPlatform
{
public:
    static constexpr const char* kMakerFolder = "Zevral";

    // Sets up every path from the executable path and creates the data folders.
    CPlatformLinux(const std::string& executablePath, const std::string& applicationName);

    // The running executable (/proc/self/exe); the first argument when that cannot be read.
    static std::string FindExecutablePath(const char* firstArgument);
    // The base of the user's data folders; empty when no home folder can be found.
    static std::string FindUserDataFolder();
    // Only plain http and https URLs of printable ASCII are handed on.
    static bool IsOpenableUrl(const std::string& url);

    void OpenUrl(const std::string& url) override;
    // Runs the text through the shell: trusted text only.
    int RunCommand(const std::string& commandLine) override;
};
