#pragma once

#include <chrono>
#include <filesystem>

namespace joulemap {

// The advisory lock beside the history database ("<database>.lock"). Checking the file and moving
// a damaged one aside needs it exclusively; writing needs it shared, so several processes (the app,
// a tool, a test) can write at once while none of them can rename the file under another. The lock
// lives as long as this object; the lock file itself stays, because removing it would let two
// processes lock two different files.
class HistoryFileLock {
public:
    enum class Role {
        none,    // not locked: the lock file cannot be made, or the wait ran out
        owner,   // exclusive: may check, repair and replace the database
        sharer,  // shared: another process has checked the database and may still use it
    };

    HistoryFileLock() = default;
    // Tries for exclusive ownership first; while another process holds the lock shared (it has
    // checked the file already) it joins as a sharer; while one holds it exclusively, it waits up to
    // `wait` for the repair to end.
    HistoryFileLock(const std::filesystem::path& databaseFile, std::chrono::milliseconds wait);
    ~HistoryFileLock();

    HistoryFileLock(const HistoryFileLock&) = delete;
    HistoryFileLock& operator=(const HistoryFileLock&) = delete;

    Role role() const { return role_; }

    // From owner to sharer once the checks are done, so other processes can join.
    void share();

private:
    int fd_ = -1;
    Role role_ = Role::none;
};

}  // namespace joulemap
