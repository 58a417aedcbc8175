#include "UpdatePlatform.h"

#include <cstdlib>

namespace joulemap {

namespace {

const char* const kDownloadsFolder = "Downloads";
const char* const kDownloadPrefix = "Joulemap-";

std::filesystem::path absoluteFromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    std::filesystem::path path(value != nullptr ? value : "");
    return path.is_absolute() ? path : std::filesystem::path(fallback);
}

}  // namespace

std::filesystem::path UpdatePlatform::downloadTarget(const std::string& version) const {
    return homeDirectory / kDownloadsFolder / (kDownloadPrefix + version + imageExtension);
}

std::filesystem::path UpdatePlatform::installedBundle() const { return installFolder / kBundleName; }

UpdatePlatform macUpdatePlatform(const std::filesystem::path& home) {
    UpdatePlatform p;
    p.imageFormat = UpdatePlatform::ImageFormat::diskImage;
    p.homeDirectory = home;
    p.imageExtension = ".dmg";
    p.imageTool = "/usr/bin/hdiutil";
    p.attributeTool = "/usr/bin/xattr";
    p.installFolder = "/Applications";
    p.relaunchProgram = "/usr/bin/open";
    p.relaunchArguments = {"/Applications/Joulemap.app"};
    return p;
}

UpdatePlatform linuxUpdatePlatform(const std::filesystem::path& home, const std::filesystem::path& tempFolder) {
    UpdatePlatform p;
    p.imageFormat = UpdatePlatform::ImageFormat::tarArchive;
    p.homeDirectory = home;
    p.imageExtension = ".tar.gz";
    p.imageTool = "/usr/bin/tar";
    p.installFolder = home / "Applications";
    p.unpackFolder = tempFolder;
    p.relaunchProgram = p.installedBundle() / "bin" / "joulemap";
    // The old instance is still running while the new one starts; this makes the new one take over
    // instead of handing off to it.
    p.relaunchArguments = {"--replace"};
    return p;
}

UpdatePlatform thisUpdatePlatform() {
    // Without a home there is nowhere sensible to download to; "/" then makes every step fail
    // visibly instead of writing somewhere unexpected.
    const auto home = absoluteFromEnvironment("HOME", "/");
#ifdef __APPLE__
    return macUpdatePlatform(home);
#else
    return linuxUpdatePlatform(home, absoluteFromEnvironment("TMPDIR", "/tmp"));
#endif
}

}  // namespace joulemap
