// Helpers the run-time's own file code shares; not for use outside platform/rtl.
#pragma once

#include <string>
#include <sys/stat.h>

// The process's file-creation mask, read without changing it (other threads may be creating files).
unsigned CurrentUmask();

// MapPath, or the write form of it (MapWritePath) when ForWrite.
std::string MapPathFor(const std::string& FileName, bool ForWrite);

// Opens NativePath with Flags (O_RDONLY, O_WRONLY, O_RDWR, optionally O_CREAT/O_TRUNC) when it is a
// regular file, without ever blocking on a pipe or touching a device. -1 otherwise, with errno
// set and *Why (may be null) saying why in words a user understands.
int OpenRegularFile(const std::string& NativePath, int Flags, std::string* Why);

// The words for a failed file operation: the system's text for Errno.
std::string FileErrorText(int Errno);

// Where a write of a file really goes: symbolic links followed to the file they name (which
// need not exist yet). False, with errno and *Why, for a loop of links or a name that is not a
// regular file (a directory, a pipe, a device).
bool ResolveWriteTarget(const std::string& NativePath, std::string& Target, std::string* Why,
                        struct stat* Existing, bool* Existed);

// ResolveWriteTarget, and then the file (when it exists) must be one this user may write.
bool CheckReplaceTarget(const std::string& NativePath, std::string& Target, std::string* Why,
                        struct stat* Existing, bool* Existed);

// Replaces a file's content through a temporary file beside it. The temporary file's name holds
// the host and process that wrote it, so a later save of the same file can remove what a killed
// process left behind. A file that has other hard links, or whose owner the new copy could not
// keep, is rewritten in place once the new content is safely on disk, so every name and the
// owner stay; any other is replaced by a rename, so a failure at any point leaves it whole.
class TReplacement {
public:
    TReplacement() = default;
    TReplacement(const TReplacement&) = delete;
    TReplacement& operator=(const TReplacement&) = delete;
    ~TReplacement() { Abandon(); }

    // Resolves and checks NativePath (the target must be writable by this user, and a regular
    // file or missing) and creates the temporary file. False with errno and Why().
    bool Begin(const std::string& NativePath);
    int Handle() const { return FHandle; }
    // Puts the written content in place. False with errno and Why(); the old file is then whole
    // unless an in-place rewrite failed halfway.
    bool Commit();
    // Drops the temporary file; the old file stays as it was.
    void Abandon();
    const std::string& Why() const { return FWhy; }
    const std::string& Target() const { return FTarget; }

private:
    bool Fail(int Errno);
    bool RewriteInPlace();

    std::string FTarget, FTemp, FWhy;
    int FHandle = -1;
    bool FExisted = false;
    struct stat FOld {};
};

// Serialises the read-modify-write cycles of one file among processes (and objects) that all
// take it: an advisory lock on the file, or on its directory while the file does not exist yet.
// Taken best-effort: where no lock can be had (an unreadable directory) the write goes on unlocked.
class TFileLock {
public:
    explicit TFileLock(const std::string& NativePath);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    int FHandle = -1;
};
