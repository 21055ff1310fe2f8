#include "shell/platform_linux.h"

#include "tests/shell/services_test_support.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

TEST(PlatformPaths, JoinAndParent)
{
    EXPECT_EQ(JoinPath("", "Resources"), "Resources");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/", "b"), "/b");
    EXPECT_EQ(ParentFolder("Programmer"), "");
    EXPECT_EQ(ParentFolder("/opt/t/bin/Programmer"), "/opt/t/bin");
    EXPECT_EQ(ParentFolder("/Programmer"), "/");
    EXPECT_EQ(ParentFolder("./Programmer"), ".");
}

TEST(PlatformLinux, CreatesTheDataFoldersUnderTheXdgBase)
{
    CTempFolder temp;
    // The base itself does not exist yet, as on a fresh account.
    const std::string base = temp / "fresh/.local/share";
    CScopedEnv xdg("XDG_DATA_HOME", base.c_str());
    CPlatformLinux platform("/opt/tanzo/bin/Programmer", "Programmer");
    EXPECT_EQ(platform.GetType(), 2u);
    EXPECT_EQ(platform.GetCommonDataPath(), base + "/Zevral/Common");
    EXPECT_EQ(platform.GetApplicationDataPath(), base + "/Zevral/Programmer");
    EXPECT_TRUE(IsFolder(platform.GetCommonDataPath()));
    EXPECT_TRUE(IsFolder(platform.GetApplicationDataPath()));

    // A second start finds everything in place and says nothing.
    testing::internal::CaptureStdout();
    CPlatformLinux again("/opt/tanzo/bin/Programmer", "Programmer");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(PlatformLinux, AFileInTheWayIsReportedAndTheRestIsStillMade)
{
    CTempFolder temp;
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    std::filesystem::create_directory(temp / "Zevral");
    WriteFile(temp / "Zevral/Common", "not a folder");
    testing::internal::CaptureStdout();
    CPlatformLinux platform("Programmer", "Programmer");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not create directory: " + temp.Path() + "/Zevral/Common\n");
    EXPECT_TRUE(IsFolder(temp / "Zevral/Programmer"));
}

TEST(PlatformLinux, UserFolderFallsBackFromXdgToHomeToThePasswordDatabase)
{
    {
        CScopedEnv xdg("XDG_DATA_HOME", "/x/data");
        EXPECT_EQ(CPlatformLinux::FindUserDataFolder(), "/x/data");
    }
    // A relative XDG_DATA_HOME is ignored, as the XDG rules say.
    CScopedEnv xdg("XDG_DATA_HOME", "relative/data");
    {
        CScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(CPlatformLinux::FindUserDataFolder(), "/home/someone/.local/share");
    }
    CScopedEnv home("HOME", nullptr);
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(CPlatformLinux::FindUserDataFolder(), std::string(entry->pw_dir) + "/.local/share");
}

TEST(PlatformLinux, ResourcesLieBesideTheBinaryFolder)
{
    CTempFolder temp;
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    CScopedEnv resources("TANZO_RESOURCES", nullptr);
    {
        CPlatformLinux platform("/opt/tanzo/bin/Programmer", "Programmer");
        EXPECT_EQ(platform.GetBinaryPath(), "/opt/tanzo/bin");
        EXPECT_EQ(platform.GetResourcesSharedPath(), "/opt/tanzo/Resources");
        EXPECT_EQ(platform.GetResourcesSpecificPath(), "/opt/tanzo/Resources");
    }
    {
        // Started through PATH with no folder part.
        CPlatformLinux platform("Programmer", "Programmer");
        EXPECT_EQ(platform.GetBinaryPath(), "");
        EXPECT_EQ(platform.GetResourcesSharedPath(), "Resources");
    }
    CScopedEnv override("TANZO_RESOURCES", "/srv/res");
    CPlatformLinux platform("/opt/tanzo/bin/Programmer", "Programmer");
    EXPECT_EQ(platform.GetResourcesSharedPath(), "/srv/res");
    EXPECT_EQ(platform.GetResourcesSpecificPath(), "/srv/res");
    EXPECT_EQ(platform.GetBinaryPath(), "/opt/tanzo/bin");
}

TEST(PlatformLinux, ExecutablePathIsTheRunningBinary)
{
    const std::string path = CPlatformLinux::FindExecutablePath("typed-name");
    EXPECT_EQ(path, std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "tests_shell");
}

TEST(PlatformLinux, OnlyPlainWebUrlsAreOpenable)
{
    for (const char* url : {"http://127.0.0.1/a;b", "https://example.org/x?y=1&z=%20", "HTTP://example.org"})
        EXPECT_TRUE(CPlatformLinux::IsOpenableUrl(url)) << url;
    for (const std::string url : {"javascript:x", "file:///etc/passwd", "-http://a", "http://", "http://a b",
                                  "http://a\nb", "http://a\tb", "http://caf\xc3\xa9.example"})
        EXPECT_FALSE(CPlatformLinux::IsOpenableUrl(url)) << url;
    EXPECT_FALSE(CPlatformLinux::IsOpenableUrl(std::string("http://a\0b", 10)));
}

TEST(PlatformLinux, OpenUrlHandsTheUrlOverAsOneArgument)
{
    CTempFolder temp;
    const std::string record = temp / "calls";
    const std::string opener = temp / "xdg-open";
    WriteFile(opener, "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '" + record + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    const std::string newPath = temp.Path() + ":" + (path ? path : "/usr/bin:/bin");
    CScopedEnv scopedPath("PATH", newPath.c_str());
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());

    CPlatformLinux platform("Programmer", "Programmer");
    platform.OpenUrl("javascript:x");
    platform.OpenUrl("http://a b");
    platform.OpenUrl("http://caf\xc3\xa9");
    platform.OpenUrl("http://127.0.0.1/a;touch " + temp.Path() + "/owned");
    platform.OpenUrl("http://127.0.0.1/a;b");

    // The opener runs detached: wait for its record (up to thirty seconds on a very busy machine),
    // then give any stray call time to show.
    for (int i = 0; i < 3000 && ReadLines(record).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(ReadLines(record), std::vector<std::string>{"1|http://127.0.0.1/a;b"});
    EXPECT_FALSE(std::filesystem::exists(temp / "owned"));
}

TEST(PlatformLinux, RunCommandReturnsTheShellStatus)
{
    CTempFolder temp;
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    CPlatformLinux platform("Programmer", "Programmer");
    const int status = platform.RunCommand("exit 3");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(platform.RunCommand("true"), 0);
}

TEST(PlatformAddresses, LoopbackIsNeverListed)
{
    CTempFolder temp;
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    CPlatformLinux platform("Programmer", "Programmer");
    std::vector<CIpAddress> addresses(3, CIpAddress(1, 2, 3, 4));
    platform.GetLocalAddresses(addresses);
    for (const CIpAddress& address : addresses)
    {
        EXPECT_NE(address, kLoopbackAddress);
        EXPECT_NE(address, CIpAddress(1, 2, 3, 4));  // the old contents are gone
    }
}

// Run by services.cmake inside network namespaces of its own, with the addresses it expects in
// TANZO_EXPECTED_ADDRESSES ("none" for an empty list); skipped elsewhere.
TEST(PlatformNetns, ListsExactlyTheNamespaceAddresses)
{
    const char* expected = std::getenv("TANZO_EXPECTED_ADDRESSES");
    if (!expected)
        GTEST_SKIP() << "needs a namespace prepared by services.cmake";
    CTempFolder temp;
    CScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    CPlatformLinux platform("Programmer", "Programmer");
    std::vector<CIpAddress> addresses;
    platform.GetLocalAddresses(addresses);
    std::string listed;
    for (const CIpAddress& address : addresses)
        listed += (listed.empty() ? "" : ",") + FormatIpAddressPort(address);
    EXPECT_EQ(listed.empty() ? "none" : listed, expected);
}
