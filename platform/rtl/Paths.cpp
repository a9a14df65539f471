// Path mapping and the file routines of the run-time: the one place where Windows-style names
// from the programs become native paths.
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FileInternals.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

std::mutex gNameLock;
std::string gProgramName;

bool IsSep(char c)
{
    return c == '/' || c == '\\';
}

bool Exists(const std::string& Path)
{
    struct stat st {};
    return lstat(Path.c_str(), &st) == 0;
}

char Fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameFolded(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (n != a.size())
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

// The entry of Dir whose name equals Name without regard to case; the first in byte order when
// several do, so the answer does not depend on the directory's order.
bool FindFolded(const std::string& Dir, const std::string& Name, std::string& Found)
{
    DIR* d = opendir(Dir.empty() ? "." : Dir.c_str());
    if (!d)
        return false;
    std::vector<std::string> matches;
    while (dirent* e = readdir(d))
        if (SameFolded(Name, e->d_name))
            matches.emplace_back(e->d_name);
    closedir(d);
    if (matches.empty())
        return false;
    Found = *std::min_element(matches.begin(), matches.end());
    return true;
}

// Walks a native path that does not exist as written, replacing each missing component by an
// existing one that differs only in case. Stops at the first component that has no such match.
std::string CaseFallback(const std::string& Path)
{
    std::string base;
    std::size_t i = 0;
    if (!Path.empty() && Path[0] == '/') {
        base = "/";
        i = 1;
    }
    while (i <= Path.size()) {
        std::size_t slash = Path.find('/', i);
        if (slash == std::string::npos)
            slash = Path.size();
        const std::string comp = Path.substr(i, slash - i);
        const std::string sep = (base.empty() || base.back() == '/') ? "" : "/";
        if (comp.empty() || comp == "." || comp == "..") {
            base += sep + comp;
        } else {
            std::string candidate = base + sep + comp;
            std::string found;
            if (!Exists(candidate)) {
                if (!FindFolded(base, comp, found))
                    return candidate + Path.substr(slash);
                candidate = base + sep + found;
            }
            base = candidate;
        }
        if (slash == Path.size())
            break;
        i = slash + 1;
        if (i == Path.size()) {
            base += '/';
            break;
        }
    }
    return base;
}

bool HasIniExtension(const std::string& Name)
{
    return Name.size() > 4 && SameFolded(Name.substr(Name.size() - 4), ".ini");
}

bool CopyFileBytes(const std::string& From, const std::string& To)
{
    std::string bytes;
    if (!ReadFileBytes(From, bytes))
        return false;
    struct stat st {};
    if (stat(From.c_str(), &st) != 0)
        return false;
    const int fd = open(To.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            close(fd);
            unlink(To.c_str());
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    if (close(fd) != 0) {
        unlink(To.c_str());
        return false;
    }
    return true;
}

} // namespace

unsigned CurrentUmask()
{
    static const unsigned mask = [] {
        // Read without changing it, since other threads may create files meanwhile.
        if (FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, f)) {
                if (std::strncmp(line, "Umask:", 6) == 0) {
                    std::fclose(f);
                    return static_cast<unsigned>(std::strtoul(line + 6, nullptr, 8));
                }
            }
            std::fclose(f);
        }
        return static_cast<unsigned>(022);
    }();
    return mask;
}

void SetProgramName(const std::string& Name)
{
    std::lock_guard<std::mutex> lock(gNameLock);
    gProgramName = Name;
}

std::string ProgramName()
{
    std::lock_guard<std::mutex> lock(gNameLock);
    if (gProgramName.empty()) {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        std::string exe = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string("program");
        const std::size_t slash = exe.find_last_of('/');
        gProgramName = slash == std::string::npos ? exe : exe.substr(slash + 1);
        if (gProgramName.empty())
            gProgramName = "program";
    }
    return gProgramName;
}

std::string SettingsDir()
{
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    const std::string dir = base + "/" + ProgramName();
    // The Windows directory always exists; so does ours, once anybody asks for it.
    ForceDirectories(dir);
    return dir;
}

std::string GetWindowsDirectory()
{
    return SettingsDir();
}

UINT GetWindowsDirectory(char* Buffer, UINT Size)
{
    const std::string dir = SettingsDir();
    if (!Buffer || Size <= dir.size())
        return static_cast<UINT>(dir.size() + 1);
    std::memcpy(Buffer, dir.c_str(), dir.size() + 1);
    return static_cast<UINT>(dir.size());
}

std::string MapPathFor(const std::string& FileName, bool ForWrite)
{
    if (FileName.empty())
        return FileName;
    std::string s = FileName;
    std::replace(s.begin(), s.end(), '\\', '/');
    // Names the mapping places in the settings directory are the program's own fixed names,
    // written by programs that knew a file system blind to case: they keep the fallback.
    bool settings = false;
    const bool drive = s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
    if (drive) {
        std::string rest = s.substr(2);
        if (rest.empty() || rest[0] != '/')
            rest.insert(rest.begin(), '/');
        // "c:\windows" and what is inside it is the program's settings directory.
        const std::size_t end = rest.find('/', 1);
        const std::string first = rest.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        if (Fold(s[0]) == 'c' && SameFolded(first, "windows")) {
            s = SettingsDir() + (end == std::string::npos ? std::string() : rest.substr(end));
            settings = true;
        } else {
            s = rest;
        }
    } else if (s.find('/') == std::string::npos && HasIniExtension(s)) {
        s = SettingsDir() + "/" + s;
        settings = true;
    }
    // Doubled separators collapse (a leading "//" is kept).
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '/' && i > 1 && s[i - 1] == '/')
            continue;
        out += s[i];
    }
    if ((!ForWrite || settings) && !Exists(out))
        out = CaseFallback(out);
    return out;
}

std::string MapPath(const std::string& FileName)
{
    return MapPathFor(FileName, false);
}

std::string MapWritePath(const std::string& FileName)
{
    return MapPathFor(FileName, true);
}

// ---------------------------------------------------------------------------------------------
// Name rules

namespace {
std::size_t LastPathDelimiter(const std::string& S)
{
    const std::size_t p = S.find_last_of("/\\:");
    return p;
}
} // namespace

std::string ExtractFilePath(const std::string& FileName)
{
    const std::size_t p = LastPathDelimiter(FileName);
    return p == std::string::npos ? std::string() : FileName.substr(0, p + 1);
}

std::string ExtractFileDir(const std::string& FileName)
{
    const std::size_t p = LastPathDelimiter(FileName);
    if (p == std::string::npos)
        return {};
    // The separator stays when it is the root itself ("/", "c:\").
    if (p > 0 && IsSep(FileName[p]) && FileName[p - 1] != ':' && !IsSep(FileName[p - 1]))
        return FileName.substr(0, p);
    return FileName.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& FileName)
{
    const std::size_t p = LastPathDelimiter(FileName);
    return p == std::string::npos ? FileName : FileName.substr(p + 1);
}

std::string ExtractFileExt(const std::string& FileName)
{
    const std::size_t p = FileName.find_last_of(".\\/:");
    if (p == std::string::npos || FileName[p] != '.')
        return {};
    return FileName.substr(p);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension)
{
    const std::size_t p = FileName.find_last_of(".\\/:");
    if (p == std::string::npos || FileName[p] != '.')
        return FileName + Extension;
    return FileName.substr(0, p) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& S)
{
    if (!S.empty() && IsSep(S.back()))
        return S;
    return S + "/";
}

std::string ExcludeTrailingPathDelimiter(const std::string& S)
{
    if (S.size() > 1 && IsSep(S.back()))
        return S.substr(0, S.size() - 1);
    return S;
}

std::string ExpandFileName(const std::string& FileName)
{
    if (FileName.empty())
        return {};
    std::string path = MapPath(FileName);
    if (path.empty() || path[0] != '/')
        path = GetCurrentDir() + "/" + path;
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t slash = path.find('/', i);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string comp = path.substr(i, slash - i);
        if (comp == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!comp.empty() && comp != ".") {
            parts.push_back(comp);
        }
        i = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    if (out.empty())
        out = "/";
    // A name that ends in a separator names a directory: keep that.
    if (out.size() > 1 && (IsSep(FileName.back())))
        out += '/';
    return out;
}

// ---------------------------------------------------------------------------------------------
// Files

bool FileExists(const std::string& FileName)
{
    if (FileName.empty())
        return false;
    struct stat st {};
    return stat(MapPath(FileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Name)
{
    if (Name.empty())
        return false;
    struct stat st {};
    return stat(MapPath(Name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& Dir)
{
    return !Dir.empty() && mkdir(MapPath(ExcludeTrailingPathDelimiter(Dir)).c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& Dir)
{
    if (Dir.empty())
        return false;
    std::string path = Dir;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.size() >= 2 && path[1] == ':')
        path = MapPath(path);
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (stat(part.c_str(), &st) != 0) {
                if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
                    return false;
            } else if (!S_ISDIR(st.st_mode)) {
                return false;
            }
        }
    }
    return true;
}

bool RemoveDir(const std::string& Dir)
{
    return !Dir.empty() && rmdir(MapPath(Dir).c_str()) == 0;
}

bool DeleteFile(const std::string& FileName)
{
    if (FileName.empty())
        return false;
    const std::string path = MapWritePath(FileName);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName)
{
    if (OldName.empty() || NewName.empty())
        return false;
    const std::string from = MapWritePath(OldName);
    const std::string to = MapWritePath(NewName);
    if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno == ENOSYS || errno == EINVAL) {
        // File systems without the no-replace form: check, then rename.
        if (Exists(to))
            return false;
        if (rename(from.c_str(), to.c_str()) == 0)
            return true;
    }
    if (errno == EXDEV) {
        // Across file systems a file is moved by copying it and removing the original.
        struct stat st {};
        if (stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        if (!CopyFileBytes(from, to))
            return false;
        unlink(from.c_str());
        return true;
    }
    return false;
}

std::string GetCurrentDir()
{
    std::vector<char> buf(4096);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE || buf.size() > (1u << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

bool SetCurrentDir(const std::string& Dir)
{
    return !Dir.empty() && chdir(MapPath(Dir).c_str()) == 0;
}

std::int64_t FileSizeOf(const std::string& FileName)
{
    struct stat st {};
    if (FileName.empty() || stat(MapPath(FileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

int FileCreate(const std::string& FileName)
{
    if (FileName.empty())
        return -1;
    return OpenRegularFile(MapWritePath(FileName), O_RDWR | O_CREAT | O_TRUNC, nullptr);
}

int FileCreateNew(const std::string& FileName)
{
    if (FileName.empty())
        return -1;
    return OpenRegularFile(MapWritePath(FileName), O_RDWR | O_CREAT | O_EXCL, nullptr);
}

int FileOpen(const std::string& FileName, int Mode)
{
    if (FileName.empty())
        return -1;
    if (Mode == fmCreate)
        return FileCreate(FileName);
    switch (Mode & 3) {
    case fmOpenWrite:
        return OpenRegularFile(MapWritePath(FileName), O_WRONLY, nullptr);
    case fmOpenReadWrite:
        return OpenRegularFile(MapWritePath(FileName), O_RDWR, nullptr);
    default:
        return OpenRegularFile(MapPath(FileName), O_RDONLY, nullptr);
    }
}

int FileRead(int Handle, void* Buffer, int Count)
{
    if (Handle < 0 || Count < 0)
        return -1;
    int done = 0;
    while (done < Count) {
        const ssize_t r =
            read(Handle, static_cast<char*>(Buffer) + done, static_cast<std::size_t>(Count - done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return done > 0 ? done : -1;
        if (r == 0)
            break;
        done += static_cast<int>(r);
    }
    return done;
}

int FileWrite(int Handle, const void* Buffer, int Count)
{
    if (Handle < 0 || Count < 0)
        return -1;
    int done = 0;
    while (done < Count) {
        const ssize_t w =
            write(Handle, static_cast<const char*>(Buffer) + done, static_cast<std::size_t>(Count - done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return done > 0 ? done : -1;
        done += static_cast<int>(w);
    }
    return done;
}

std::int64_t FileSeek(int Handle, std::int64_t Offset, int Origin)
{
    const int whence = Origin == 1 ? SEEK_CUR : Origin == 2 ? SEEK_END : SEEK_SET;
    return static_cast<std::int64_t>(lseek(Handle, static_cast<off_t>(Offset), whence));
}

void FileClose(int Handle)
{
    if (Handle >= 0)
        close(Handle);
}

bool ReadFileBytes(const std::string& FileName, std::string& Bytes, std::string* Error)
{
    Bytes.clear();
    std::string why;
    auto fail = [&](int Errno, const std::string& Why) {
        Bytes.clear();
        if (Error)
            *Error = Why;
        errno = Errno;
        return false;
    };
    if (FileName.empty())
        return fail(ENOENT, FileErrorText(ENOENT));
    const int fd = OpenRegularFile(MapPath(FileName), O_RDONLY, &why);
    if (fd < 0)
        return fail(errno, why);
    const std::string tooLarge =
        "File too large (the limit is " + std::to_string(MaxReadFileBytes >> 20) + " MB)";
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > MaxReadFileBytes) {
        close(fd);
        return fail(EFBIG, tooLarge);
    }
    if (st.st_size > 0)
        Bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    while (true) {
        const ssize_t r = read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            const int e = errno;
            close(fd);
            return fail(e, FileErrorText(e));
        }
        if (r == 0)
            break;
        // A file that grows while it is read (or says it is empty, as some system files do)
        // still stops at the limit.
        if (Bytes.size() + static_cast<std::size_t>(r) > static_cast<std::size_t>(MaxReadFileBytes)) {
            close(fd);
            return fail(EFBIG, tooLarge);
        }
        Bytes.append(buf, static_cast<std::size_t>(r));
    }
    close(fd);
    return true;
}

std::string LoadFileBytes(const std::string& FileName)
{
    std::string bytes, why;
    if (!ReadFileBytes(FileName, bytes, &why))
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + why);
    return bytes;
}

bool WriteFileAtomic(const std::string& FileName, const std::string& Bytes, std::string* Error)
{
    TReplacement r;
    auto fail = [&] {
        const int e = errno;
        if (Error)
            *Error = r.Why();
        errno = e;
        return false;
    };
    if (!r.Begin(MapWritePath(FileName)))
        return fail();
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t w = write(r.Handle(), Bytes.data() + done, Bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            const int e = w < 0 ? errno : ENOSPC;
            r.Abandon();
            if (Error)
                *Error = FileErrorText(e);
            errno = e;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    if (!r.Commit())
        return fail();
    return true;
}
