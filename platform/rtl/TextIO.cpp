#include "platform/rtl/TextIO.h"

#include "platform/rtl/FileInternals.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

int CodeOfErrno(int e)
{
    switch (e) {
    case ENOENT:
        return ioFileNotFound;
    case ENOTDIR:
        return ioPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ENXIO: // a pipe or a device
    case ELOOP:
    case EFBIG:
        return ioAccessDenied;
    case ENOSPC:
        return ioDiskFull;
    default:
        return e > 0 ? e : ioAccessDenied;
    }
}

// Output goes out in one piece when the file is closed; a disk file through a temporary file,
// so a failed write leaves the old file whole.
void WriteOut(const std::string& FileName, const std::string& Bytes)
{
    if (!WriteFileAtomic(FileName, Bytes)) {
        const int e = errno;
        RaiseInOutError(CodeOfErrno(e));
    }
}

void Require(TextFile& F, TextFile::TMode Mode)
{
    if (F.Mode() == Mode)
        return;
    if (F.Mode() == TextFile::fmClosed)
        RaiseInOutError(ioFileNotOpen);
    RaiseInOutError(Mode == TextFile::fmInput ? ioNotOpenForInput : ioNotOpenForOutput);
}

} // namespace

std::string IOErrorText(int Code)
{
    switch (Code) {
    case ioFileNotFound:
        return "File not found";
    case ioPathNotFound:
        return "Path not found";
    case ioAccessDenied:
        return "File access denied";
    case ioDiskFull:
        return "Disk full";
    case ioFileNotAssigned:
        return "File not assigned";
    case ioFileNotOpen:
        return "File not open";
    case ioNotOpenForInput:
        return "File not open for input";
    case ioNotOpenForOutput:
        return "File not open for output";
    default:
        return "I/O error " + IntToStr(Code);
    }
}

void RaiseInOutError(int Code)
{
    throw EInOutError(IOErrorText(Code), Code);
}

TextFile::~TextFile()
{
    try {
        if (FMode != fmClosed)
            CloseFile(*this);
    } catch (const Exception&) {
    }
}

void TextFile::Flush()
{
    if (FDevice) {
        FDevice->Write(FBuffer);
        FBuffer.clear();
    }
}

void AssignFile(TextFile& F, const std::string& FileName)
{
    if (F.FMode != TextFile::fmClosed)
        CloseFile(F);
    F.FFileName = FileName;
    F.FDevice.reset();
}

void AssignDevice(TextFile& F, std::unique_ptr<TTextDevice> Device)
{
    if (F.FMode != TextFile::fmClosed)
        CloseFile(F);
    F.FFileName.clear();
    F.FDevice = std::move(Device);
}

void Reset(TextFile& F)
{
    if (F.FMode != TextFile::fmClosed)
        CloseFile(F);
    F.FBuffer.clear();
    F.FPos = 0;
    if (F.FDevice) {
        F.FDevice->Open(false);
        F.FBuffer = F.FDevice->ReadAll();
    } else {
        if (F.FFileName.empty())
            RaiseInOutError(ioFileNotAssigned);
        if (!ReadFileBytes(F.FFileName, F.FBuffer)) {
            const int e = errno;
            RaiseInOutError(DirectoryExists(F.FFileName) ? ioAccessDenied : CodeOfErrno(e));
        }
    }
    F.FMode = TextFile::fmInput;
}

void Rewrite(TextFile& F)
{
    if (F.FMode != TextFile::fmClosed)
        CloseFile(F);
    F.FBuffer.clear();
    F.FPos = 0;
    if (F.FDevice) {
        F.FDevice->Open(true);
    } else {
        if (F.FFileName.empty())
            RaiseInOutError(ioFileNotAssigned);
        // Fail now rather than at the close when the file cannot be made at all.
        const std::string path = MapWritePath(F.FFileName);
        std::string target;
        if (!CheckReplaceTarget(path, target, nullptr, nullptr, nullptr))
            RaiseInOutError(CodeOfErrno(errno));
        const std::string dir = ExtractFileDir(target);
        struct stat st {};
        if (!dir.empty() && (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
            RaiseInOutError(ioPathNotFound);
    }
    F.FMode = TextFile::fmOutput;
}

void Append(TextFile& F)
{
    if (F.FDevice) {
        Rewrite(F);
        return;
    }
    std::string old;
    if (!F.FFileName.empty() && !ReadFileBytes(F.FFileName, old)) {
        const int e = errno;
        RaiseInOutError(CodeOfErrno(e));
    }
    Rewrite(F);
    // A final end-of-file mark is dropped, so the new text follows the old.
    if (!old.empty() && old.back() == '\x1A')
        old.pop_back();
    F.FBuffer = old;
}

void CloseFile(TextFile& F)
{
    const TextFile::TMode mode = F.FMode;
    F.FMode = TextFile::fmClosed;
    if (mode == TextFile::fmClosed)
        RaiseInOutError(ioFileNotOpen);
    if (F.FDevice) {
        // The device is closed even when the last text cannot be written, so a printer job
        // never stays open behind a failed write; the write's error is the one reported.
        if (mode == TextFile::fmOutput) {
            try {
                F.Flush();
            } catch (...) {
                F.FBuffer.clear();
                try {
                    F.FDevice->Close();
                } catch (...) {
                }
                throw;
            }
        }
        F.FDevice->Close();
    } else if (mode == TextFile::fmOutput) {
        const std::string bytes = std::move(F.FBuffer);
        F.FBuffer.clear();
        WriteOut(F.FFileName, bytes);
    }
    F.FBuffer.clear();
    F.FPos = 0;
}

bool Eof(TextFile& F)
{
    Require(F, TextFile::fmInput);
    return F.FPos >= F.FBuffer.size() || F.FBuffer[F.FPos] == '\x1A';
}

bool Eoln(TextFile& F)
{
    Require(F, TextFile::fmInput);
    return Eof(F) || F.FBuffer[F.FPos] == '\r' || F.FBuffer[F.FPos] == '\n';
}

void Read(TextFile& F, char& Ch)
{
    Require(F, TextFile::fmInput);
    if (F.FPos >= F.FBuffer.size()) {
        Ch = '\x1A';
        return;
    }
    Ch = F.FBuffer[F.FPos++];
}

void ReadLn(TextFile& F, std::string& S)
{
    Require(F, TextFile::fmInput);
    S.clear();
    const std::size_t n = F.FBuffer.size();
    std::size_t i = F.FPos;
    while (i < n && F.FBuffer[i] != '\r' && F.FBuffer[i] != '\n' && F.FBuffer[i] != '\x1A')
        ++i;
    S.assign(F.FBuffer, F.FPos, i - F.FPos);
    // CR LF, CR and LF each end a line.
    if (i < n && F.FBuffer[i] == '\r')
        ++i;
    if (i < n && F.FBuffer[i] == '\n')
        ++i;
    F.FPos = i;
}

void ReadLn(TextFile& F)
{
    std::string ignored;
    ReadLn(F, ignored);
}

void Write(TextFile& F, const std::string& S)
{
    Require(F, TextFile::fmOutput);
    F.FBuffer += S;
    // A device (the printer) takes its text as it comes; a disk file at the close.
    if (F.FDevice && F.FBuffer.size() >= 4096)
        F.Flush();
}

void WriteLn(TextFile& F, const std::string& S)
{
    Write(F, S + "\r\n");
}
