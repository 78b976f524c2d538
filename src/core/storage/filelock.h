#pragma once

#include <sys/types.h>

#include <string>

namespace ambrel::storage {

// Holds the advisory lock of one data file for as long as it lives, so that a
// read-modify-write of the file by this process and one by another (a second start, the
// hand-over tool, a running copy) happen one after the other instead of the last rename
// dropping the other's change. Take it around the whole read, change and atomic replace,
// and only there: readers do not take it, since a replace never shows them half a file.
//
// The lock is an flock() on a hidden file beside the data file, "." + its name + ".lock"
// (listing/.default.fifi.lock), created when missing and never removed: removing it would
// let two writers lock two different files. A symlinked data file is locked at its target.
// Nested locks of the same file in one thread are counted, so a command that holds a list's
// lock may call a helper that takes it again; another thread waits like another process.
class FileLock {
public:
    // Blocks until the lock is held. Throws IoError ("Cannot write <path>: <reason>") when
    // the lock file can be neither created nor opened, as in a folder that cannot be written.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // The lock file of a data file.
    static std::string lockFileFor(const std::string& path);

private:
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

}  // namespace ambrel::storage
