// Safe replacement of files: the checks before a save, the temporary file beside the target,
// what a killed save left behind, and the lock that keeps two programs' settings writes apart.
#include "platform/rtl/FileInternals.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string DirOf(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string BaseOf(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string Join(const std::string& Dir, const std::string& Name)
{
    return Dir == "/" ? "/" + Name : Dir + "/" + Name;
}

// What a name that is no regular file is, in the words of an error message.
std::string NotRegularText(mode_t Mode)
{
    if (S_ISDIR(Mode))
        return FileErrorText(EISDIR);
    if (S_ISFIFO(Mode))
        return "Is a named pipe, not a regular file";
    if (S_ISCHR(Mode) || S_ISBLK(Mode))
        return "Is a device, not a regular file";
    if (S_ISSOCK(Mode))
        return "Is a socket, not a regular file";
    return "Is not a regular file";
}

// errno for a name that is no regular file: EISDIR for a directory, else the system's own code
// for a special file that cannot be used this way.
int NotRegularErrno(mode_t Mode)
{
    return S_ISDIR(Mode) ? EISDIR : ENXIO;
}

bool Refuse(int Errno, const std::string& Text, std::string* Why)
{
    if (Why)
        *Why = Text;
    errno = Errno;
    return false;
}

const std::string& HostName()
{
    static const std::string host = [] {
        char buf[HOST_NAME_MAX + 1] = {};
        if (gethostname(buf, sizeof buf - 1) != 0 || !buf[0])
            return std::string("localhost");
        std::string h = buf;
        for (char& c : h)
            if (c == '/')
                c = '_';
        return h;
    }();
    return host;
}

// ".<name>.tmp-<host>-": every temporary file of one target on this host starts so; the writer's
// process id and a random part follow. Long names are cut so the whole stays a legal file name.
std::string TempPrefix(const std::string& Name)
{
    return "." + Name.substr(0, 120) + ".tmp-" + HostName() + "-";
}

bool ProcessGone(long Pid)
{
    if (Pid <= 0 || Pid > INT_MAX)
        return false;
    return kill(static_cast<pid_t>(Pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of Name in Dir that a process of this user on this host left when
// it died in the middle of a save. Anything of a live process, or of another user, stays.
void RemoveStaleTemporaries(const std::string& Dir, const std::string& Name)
{
    DIR* d = opendir(Dir.c_str());
    if (!d)
        return;
    const std::string prefix = TempPrefix(Name);
    const uid_t me = geteuid();
    while (dirent* e = readdir(d)) {
        const std::string entry = e->d_name;
        if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0)
            continue;
        // "<pid>-XXXXXX"
        const std::string rest = entry.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != 6 ||
            rest.find_first_not_of("0123456789") != dash || dash > 9)
            continue;
        if (!ProcessGone(std::stol(rest.substr(0, dash))))
            continue;
        const std::string path = Join(Dir, entry);
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == me)
            unlink(path.c_str());
    }
    closedir(d);
}

} // namespace

std::string FileErrorText(int Errno)
{
    return std::strerror(Errno);
}

int OpenRegularFile(const std::string& NativePath, int Flags, std::string* Why)
{
    struct stat st {};
    // A special file is refused before it is opened: opening some devices already does something.
    if (stat(NativePath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        Refuse(NotRegularErrno(st.st_mode), NotRegularText(st.st_mode), Why);
        return -1;
    }
    const int fd = open(NativePath.c_str(), Flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int e = errno;
        Refuse(e, FileErrorText(e), Why);
        return -1;
    }
    // The name may have changed between the look and the open.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        Refuse(NotRegularErrno(st.st_mode), NotRegularText(st.st_mode), Why);
        return -1;
    }
    const int fl = fcntl(fd, F_GETFL);
    if (fl >= 0)
        fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

bool ResolveWriteTarget(const std::string& NativePath, std::string& Target, std::string* Why,
                        struct stat* Existing, bool* Existed)
{
    std::string path = NativePath;
    for (int hop = 0;; ++hop) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            const int e = errno;
            if (e != ENOENT)
                return Refuse(e, FileErrorText(e), Why);
            // Missing (the end of a dangling link, too): the write creates it.
            Target = path;
            if (Existed)
                *Existed = false;
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            if (hop >= 40)
                return Refuse(ELOOP, FileErrorText(ELOOP), Why);
            std::string link(PATH_MAX, '\0');
            const ssize_t n = readlink(path.c_str(), link.data(), link.size());
            if (n < 0) {
                const int e = errno;
                return Refuse(e, FileErrorText(e), Why);
            }
            link.resize(static_cast<std::size_t>(n));
            path = (!link.empty() && link[0] == '/') ? link : Join(DirOf(path), link);
            continue;
        }
        if (!S_ISREG(st.st_mode))
            return Refuse(NotRegularErrno(st.st_mode), NotRegularText(st.st_mode), Why);
        Target = path;
        if (Existing)
            *Existing = st;
        if (Existed)
            *Existed = true;
        return true;
    }
}

bool CheckReplaceTarget(const std::string& NativePath, std::string& Target, std::string* Why,
                        struct stat* Existing, bool* Existed)
{
    struct stat st {};
    bool existed = false;
    if (!ResolveWriteTarget(NativePath, Target, Why, &st, &existed))
        return false;
    if (existed) {
        // A rename needs only the directory's permission; the file's own decides, as for any write.
        const int fd = open(Target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            const int e = errno;
            return Refuse(e, FileErrorText(e), Why);
        }
        close(fd);
    }
    if (Existing)
        *Existing = st;
    if (Existed)
        *Existed = existed;
    return true;
}

// ---------------------------------------------------------------------------------------------
// TReplacement

bool TReplacement::Fail(int Errno)
{
    if (FWhy.empty())
        FWhy = FileErrorText(Errno);
    errno = Errno;
    return false;
}

bool TReplacement::Begin(const std::string& NativePath)
{
    Abandon();
    FWhy.clear();
    if (NativePath.empty())
        return Fail(ENOENT);
    if (!CheckReplaceTarget(NativePath, FTarget, &FWhy, &FOld, &FExisted))
        return Fail(errno);
    const std::string dir = DirOf(FTarget);
    const std::string name = BaseOf(FTarget);
    RemoveStaleTemporaries(dir, name);
    std::string temp = Join(dir, TempPrefix(name) + std::to_string(getpid()) + "-XXXXXX");
    FHandle = mkostemp(temp.data(), O_CLOEXEC);
    if (FHandle < 0)
        return Fail(errno);
    FTemp = temp;
    return true;
}

void TReplacement::Abandon()
{
    if (FHandle >= 0) {
        close(FHandle);
        FHandle = -1;
    }
    if (!FTemp.empty()) {
        unlink(FTemp.c_str());
        FTemp.clear();
    }
}

bool TReplacement::Commit()
{
    if (FHandle < 0)
        return Fail(EBADF);
    // The data must be on disk before the name points at it, or a crash could leave an empty file.
    if (fdatasync(FHandle) != 0 && errno != EINVAL && errno != EROFS) {
        const int e = errno;
        Abandon();
        return Fail(e);
    }
    bool inPlace = false;
    if (FExisted) {
        struct stat mine {};
        fstat(FHandle, &mine);
        inPlace = FOld.st_nlink > 1;
        if (!inPlace && (mine.st_uid != FOld.st_uid || mine.st_gid != FOld.st_gid) &&
            fchown(FHandle, FOld.st_uid, FOld.st_gid) != 0)
            inPlace = true;
        // After the owner: a change of owner clears the set-id bits.
        if (!inPlace)
            fchmod(FHandle, FOld.st_mode & 07777);
    } else {
        fchmod(FHandle, static_cast<mode_t>(0666 & ~CurrentUmask()));
    }
    if (inPlace)
        return RewriteInPlace();
    const int fd = FHandle;
    FHandle = -1;
    if (close(fd) != 0) {
        const int e = errno;
        Abandon();
        return Fail(e);
    }
    if (rename(FTemp.c_str(), FTarget.c_str()) != 0) {
        const int e = errno;
        Abandon();
        return Fail(e);
    }
    FTemp.clear();
    return true;
}

bool TReplacement::RewriteInPlace()
{
    const int out = open(FTarget.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (out < 0) {
        const int e = errno;
        Abandon();
        return Fail(e);
    }
    auto fail = [&](int e) {
        close(out);
        Abandon();
        return Fail(e);
    };
    char buf[65536];
    off_t at = 0;
    while (true) {
        const ssize_t r = pread(FHandle, buf, sizeof buf, at);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return fail(errno);
        if (r == 0)
            break;
        ssize_t done = 0;
        while (done < r) {
            const ssize_t w = pwrite(out, buf + done, static_cast<std::size_t>(r - done), at + done);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return fail(w < 0 ? errno : ENOSPC);
            done += w;
        }
        at += r;
    }
    if (ftruncate(out, at) != 0)
        return fail(errno);
    if (fdatasync(out) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno);
    if (close(out) != 0) {
        const int e = errno;
        Abandon();
        return Fail(e);
    }
    Abandon();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TFileLock

TFileLock::TFileLock(const std::string& NativePath)
{
    // A writer that replaced the file between our open and our lock holds a lock on another
    // file: look again until the lock is on what the name names now. Each new look means another
    // writer has finished, so this ends; the bound only guards against a file replaced forever.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        std::string target;
        struct stat st {};
        bool existed = false;
        if (!ResolveWriteTarget(NativePath, target, nullptr, &st, &existed))
            return; // the write will be refused anyway
        int fd = -1;
        if (existed) {
            fd = open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno != ENOENT)
                return;
            if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
                close(fd);
                return;
            }
        }
        const bool onFile = fd >= 0;
        if (!onFile) {
            fd = open(DirOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0)
                return;
        }
        while (flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd);
                return;
            }
        }
        struct stat now {};
        const bool there = stat(target.c_str(), &now) == 0;
        if (onFile ? (there && now.st_ino == st.st_ino && now.st_dev == st.st_dev) : !there) {
            FHandle = fd;
            return;
        }
        close(fd);
    }
}

TFileLock::~TFileLock()
{
    if (FHandle >= 0)
        close(FHandle); // closing the last descriptor releases the lock
}
