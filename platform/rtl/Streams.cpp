#include "platform/rtl/Streams.h"

#include "platform/rtl/FileInternals.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------------------------
// TStream

std::int64_t TStream::Size()
{
    const std::int64_t pos = Seek(0, soFromCurrent);
    const std::int64_t end = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return end;
}

void TStream::SetSize(std::int64_t)
{
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* Buffer, Longint Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Longint Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count)
{
    if (!Source)
        return 0;
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    std::int64_t done = 0;
    char buf[65536];
    while (done < Count) {
        const Longint chunk = static_cast<Longint>(std::min<std::int64_t>(Count - done, sizeof buf));
        Source->ReadBuffer(buf, chunk);
        WriteBuffer(buf, chunk);
        done += chunk;
    }
    return done;
}

std::string TStream::ReadAll()
{
    std::string out;
    char buf[65536];
    while (true) {
        const Longint n = Read(buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// TMemoryStream

Longint TMemoryStream::Read(void* Buffer, Longint Count)
{
    if (Count <= 0 || FPosition >= Size())
        return 0;
    const std::int64_t n = std::min<std::int64_t>(Count, Size() - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return static_cast<Longint>(n);
}

Longint TMemoryStream::Write(const void* Buffer, Longint Count)
{
    if (Count <= 0)
        return 0;
    const std::int64_t end = FPosition + Count;
    if (end > Size())
        FData.resize(static_cast<std::size_t>(end));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = end;
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, int Origin)
{
    std::int64_t base = Origin == soFromCurrent ? FPosition : Origin == soFromEnd ? Size() : 0;
    // A position before the start is clamped; past the end is allowed (a write there fills zeros).
    FPosition = std::max<std::int64_t>(0, base + Offset);
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize)
{
    if (NewSize < 0)
        NewSize = 0;
    FData.resize(static_cast<std::size_t>(NewSize));
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Clear();
    if (!Stream)
        return;
    Stream->SetPosition(0);
    FData = Stream->ReadAll();
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    if (Stream && !FData.empty())
        Stream->WriteBuffer(FData.data(), static_cast<Longint>(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    std::string why;
    if (!WriteFileAtomic(FileName, FData, &why))
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + why);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream(const std::string& AString)
{
    FData = AString;
}

std::string TStringStream::ReadString(Longint Count)
{
    if (Count <= 0 || FPosition >= Size())
        return {};
    const std::int64_t n = std::min<std::int64_t>(Count, Size() - FPosition);
    std::string s = FData.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
    FPosition += n;
    return s;
}

// ---------------------------------------------------------------------------------------------
// THandleStream / TFileStream

Longint THandleStream::Read(void* Buffer, Longint Count)
{
    const int n = FileRead(FHandle, Buffer, Count);
    return n < 0 ? 0 : n;
}

Longint THandleStream::Write(const void* Buffer, Longint Count)
{
    const int n = FileWrite(FHandle, Buffer, Count);
    return n < 0 ? 0 : n;
}

std::int64_t THandleStream::Seek(std::int64_t Offset, int Origin)
{
    return FileSeek(FHandle, Offset, Origin);
}

void THandleStream::SetSize(std::int64_t NewSize)
{
    if (ftruncate(FHandle, static_cast<off_t>(std::max<std::int64_t>(NewSize, 0))) != 0)
        throw EStreamError(std::string("Stream size cannot be changed: ") + std::strerror(errno));
    if (Position() > NewSize)
        Seek(NewSize, soFromBeginning);
}

TFileStream::TFileStream(const std::string& FileName, int Mode)
    : THandleStream(-1), FFileName(FileName), FUncaught(std::uncaught_exceptions())
{
    if (Mode == fmCreate) {
        FTarget = MapPath(FileName);
        struct stat st {};
        // Writing through a link replaces the file it points to, not the link.
        if (!FileName.empty() && lstat(FTarget.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            if (char* real = realpath(FTarget.c_str(), nullptr)) {
                FTarget = real;
                std::free(real);
            }
        }
        if (FileName.empty() || (stat(FTarget.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(EISDIR));
        const std::size_t slash = FTarget.find_last_of('/');
        const std::string dir =
            slash == std::string::npos ? "." : (slash == 0 ? "" : FTarget.substr(0, slash));
        const std::string name = slash == std::string::npos ? FTarget : FTarget.substr(slash + 1);
        std::string temp = dir + "/." + name + ".tmp-XXXXXX";
        FHandle = mkstemp(temp.data());
        if (FHandle < 0)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
        FTempName = temp;
        if (stat(FTarget.c_str(), &st) == 0) {
            fchmod(FHandle, st.st_mode & 07777);
        } else {
            fchmod(FHandle, static_cast<mode_t>(0666 & ~CurrentUmask()));
        }
        return;
    }
    FHandle = FileOpen(FileName, Mode);
    if (FHandle < 0)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno ? errno : ENOENT));
}

TFileStream::~TFileStream()
{
    if (FHandle < 0)
        return;
    if (FTempName.empty()) {
        FileClose(FHandle);
        return;
    }
    // A destructor cannot report; a file that may be incomplete never replaces the old one.
    const bool whole = !FWriteFailed && std::uncaught_exceptions() <= FUncaught;
    const bool ok = whole && (fdatasync(FHandle) == 0 || errno == EINVAL || errno == EROFS);
    const bool closed = close(FHandle) == 0;
    if (!ok || !closed || rename(FTempName.c_str(), FTarget.c_str()) != 0)
        unlink(FTempName.c_str());
}

Longint TFileStream::Write(const void* Buffer, Longint Count)
{
    const Longint n = THandleStream::Write(Buffer, Count);
    if (Count > 0 && n != Count)
        FWriteFailed = true;
    return n;
}
