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
    FData = LoadFileBytes(FileName);
    FPosition = 0;
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
    std::string why;
    if (Mode == fmCreate) {
        FReplace = std::make_unique<TReplacement>();
        if (FileName.empty() || !FReplace->Begin(MapWritePath(FileName)))
            throw EFCreateError("Cannot create file \"" + FileName + "\". " +
                                (FileName.empty() ? FileErrorText(ENOENT) : FReplace->Why()));
        FHandle = FReplace->Handle();
        return;
    }
    const int access = (Mode & 3) == fmOpenWrite       ? O_WRONLY
                       : (Mode & 3) == fmOpenReadWrite ? O_RDWR
                                                       : O_RDONLY;
    if (!FileName.empty())
        FHandle =
            OpenRegularFile(access == O_RDONLY ? MapPath(FileName) : MapWritePath(FileName), access, &why);
    if (FHandle < 0)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " +
                          (why.empty() ? FileErrorText(ENOENT) : why));
}

TFileStream::~TFileStream()
{
    if (FHandle < 0)
        return;
    if (!FReplace) {
        FileClose(FHandle);
        return;
    }
    // A destructor cannot report; a file that may be incomplete never replaces the old one.
    const bool whole = !FWriteFailed && std::uncaught_exceptions() <= FUncaught;
    FHandle = -1;
    if (!whole || !FReplace->Commit())
        FReplace->Abandon();
}

Longint TFileStream::Write(const void* Buffer, Longint Count)
{
    const Longint n = THandleStream::Write(Buffer, Count);
    if (Count > 0 && n != Count)
        FWriteFailed = true;
    return n;
}
