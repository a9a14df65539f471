// Streams: a byte sequence with a position, over memory, a string or a file.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

#include <cstdint>
#include <memory>
#include <string>

class TReplacement;

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

class TStream {
public:
    virtual ~TStream() = default;
    // Read and Write move as many bytes as they can and return that number.
    virtual Longint Read(void* Buffer, Longint Count) = 0;
    virtual Longint Write(const void* Buffer, Longint Count) = 0;
    // Origin: soFromBeginning, soFromCurrent or soFromEnd; returns the new position.
    virtual std::int64_t Seek(std::int64_t Offset, int Origin) = 0;
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    std::int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, soFromBeginning); }

    // All or nothing: EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, Longint Count);
    void WriteBuffer(const void* Buffer, Longint Count);
    // Copies Count bytes from Source's current position; Count 0 copies the whole of Source from
    // its start. Returns the number copied.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);

    // Convenience: the rest of the stream as bytes, and a string written as its bytes.
    std::string ReadAll();
    void WriteString(const std::string& S) { WriteBuffer(S.data(), static_cast<Longint>(S.size())); }
};

// A stream over a block of memory it owns; it grows as it is written.
class TMemoryStream : public TStream {
public:
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    std::int64_t Seek(std::int64_t Offset, int Origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t NewSize) override;

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName); // EFOpenError when it cannot be read
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName); // atomic; EFCreateError when it cannot write
    // The content as one string (a copy).
    std::string DataString() const { return FData; }

protected:
    std::string FData;
    std::int64_t FPosition = 0;
};

// A memory stream made from, and read back as, a string.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const std::string& AString = std::string());
    // Up to Count bytes from the current position.
    std::string ReadString(Longint Count);
};

// A stream over an open file handle it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    std::int64_t Seek(std::int64_t Offset, int Origin) override;
    void SetSize(std::int64_t NewSize) override;
    int Handle() const { return FHandle; }

protected:
    int FHandle = -1;
};

// A stream over a named file. Mode is fmCreate or fmOpenRead / fmOpenWrite / fmOpenReadWrite
// (share flags are accepted and ignored). fmCreate writes a temporary file beside the target and
// puts it in place when the stream is destroyed, as WriteFileAtomic does (the same checks of the
// target, at construction), so an interrupted write leaves the old file whole: after a write that
// fell short, or when the stream goes because an exception leaves the code that was writing it,
// the temporary file is removed and the old file stays as it was. Only regular files are opened.
// Raises EFCreateError / EFOpenError "Cannot ... file "<name>". <reason>".
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& FileName, int Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    const std::string& FileName() const { return FFileName; }
    Longint Write(const void* Buffer, Longint Count) override;

private:
    std::string FFileName;
    std::unique_ptr<TReplacement> FReplace; // fmCreate only
    bool FWriteFailed = false;
    int FUncaught = 0; // exceptions in flight when the stream was made
};
