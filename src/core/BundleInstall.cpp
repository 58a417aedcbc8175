#include "BundleInstall.h"

#include <system_error>

namespace joulemap {

namespace fs = std::filesystem;

namespace {

// Hidden, next to the destination: the same file system, so the final renames are atomic, and a
// stale leftover of an interrupted run is found and cleared by the next one.
fs::path sibling(const fs::path& destination, const char* purpose) {
    return destination.parent_path() / ("." + destination.filename().string() + purpose);
}

}  // namespace

void copyTree(const fs::path& from, const fs::path& to, std::error_code& error) {
    error.clear();
    const auto status = fs::symlink_status(from, error);
    if (error) return;
    if (fs::is_symlink(status)) {
        fs::copy_symlink(from, to, error);
    } else if (fs::is_regular_file(status)) {
        fs::copy_file(from, to, fs::copy_options::none, error);
    } else if (fs::is_directory(status)) {
        if (!fs::create_directory(to, error) && !error) error = std::make_error_code(std::errc::file_exists);
        if (error) return;
        fs::directory_iterator it(from, error);
        for (const fs::directory_iterator end; !error && it != end;) {
            copyTree(it->path(), to / it->path().filename(), error);
            // Stepping on would overwrite the copy's error with the step's own success.
            if (!error) it.increment(error);
        }
        if (!error) fs::permissions(to, status.permissions(), error);
    } else {
        error = std::make_error_code(std::errc::operation_not_supported);
    }
}

std::optional<std::string> replaceBundle(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    fs::create_directories(destination.parent_path(), error);
    if (error) return error.message();

    const fs::path staging = sibling(destination, ".installing");
    const fs::path previous = sibling(destination, ".previous");
    std::error_code ignored;
    fs::remove_all(staging, ignored);
    copyTree(source, staging, error);
    if (error) {
        fs::remove_all(staging, ignored);
        return error.message();
    }

    const bool hadPrevious = fs::exists(fs::symlink_status(destination, ignored));
    if (hadPrevious) {
        fs::remove_all(previous, ignored);
        fs::rename(destination, previous, error);
        if (error) {
            fs::remove_all(staging, ignored);
            return error.message();
        }
    }
    fs::rename(staging, destination, error);
    if (error) {
        if (hadPrevious) fs::rename(previous, destination, ignored);
        fs::remove_all(staging, ignored);
        return error.message();
    }
    fs::remove_all(previous, ignored);
    return std::nullopt;
}

}  // namespace joulemap
