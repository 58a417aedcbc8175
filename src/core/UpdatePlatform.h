#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace joulemap {

// Every path and tool the updater touches, in one place per platform, so a test can point them at a
// temporary home and fake tools. The steps are the same everywhere; only how an image is opened
// differs: macOS attaches a disk image with hdiutil and finds the mount point in its output, Linux
// unpacks a .tar.gz with tar into a fresh private folder, which then plays the mount point.
struct UpdatePlatform {
    enum class ImageFormat { diskImage, tarArchive };

    ImageFormat imageFormat = ImageFormat::tarArchive;
    std::filesystem::path homeDirectory;
    std::string imageExtension;             // ".dmg" or ".tar.gz"
    std::filesystem::path imageTool;        // "/usr/bin/hdiutil" or "/usr/bin/tar"
    std::filesystem::path attributeTool;    // "/usr/bin/xattr"; empty where there is no such step
    std::filesystem::path installFolder;    // "/Applications" or ~/Applications
    std::filesystem::path unpackFolder;     // where private unpack folders are made (tar archives only)
    // Where the mount points the image tool prints are found: "/" on a real system, a temporary
    // folder under a fake tool.
    std::filesystem::path mountRoot = "/";
    std::filesystem::path relaunchProgram;  // started by restartApp()
    std::vector<std::string> relaunchArguments;

    // ~/Downloads/Joulemap-<version><imageExtension>.
    std::filesystem::path downloadTarget(const std::string& version) const;
    // The installed application a one-click update replaces.
    std::filesystem::path installedBundle() const;
};

inline constexpr const char* kBundleName = "Joulemap.app";

UpdatePlatform macUpdatePlatform(const std::filesystem::path& home);
UpdatePlatform linuxUpdatePlatform(const std::filesystem::path& home, const std::filesystem::path& tempFolder);
// The running platform's, with the user's home ($HOME) and temporary folder ($TMPDIR or /tmp).
UpdatePlatform thisUpdatePlatform();

}  // namespace joulemap
