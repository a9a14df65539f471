// Classic text-file I/O: AssignFile, Reset/Rewrite/Append, Read/ReadLn, Write/WriteLn, CloseFile.
// Errors raise EInOutError with the run-time's I/O error number and text. A file may also be
// assigned to a device (the printer assigns itself this way), which then receives what is written.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <memory>
#include <string>

// Where a text file assigned to a device goes. Open and Close may raise EInOutError.
class TTextDevice {
public:
    virtual ~TTextDevice() = default;
    virtual void Open(bool ForWriting) = 0;
    virtual void Write(const std::string& Bytes) = 0;
    // Reading devices return everything they hold at once; the default holds nothing.
    virtual std::string ReadAll() { return {}; }
    virtual void Close() = 0;
};

class TextFile {
public:
    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile(); // an open output file is written out; errors are dropped here

    enum TMode { fmClosed, fmInput, fmOutput };
    TMode Mode() const { return FMode; }
    const std::string& FileName() const { return FFileName; }

private:
    friend void AssignFile(TextFile&, const std::string&);
    friend void AssignDevice(TextFile&, std::unique_ptr<TTextDevice>);
    friend void Reset(TextFile&);
    friend void Rewrite(TextFile&);
    friend void Append(TextFile&);
    friend void CloseFile(TextFile&);
    friend bool Eof(TextFile&);
    friend bool Eoln(TextFile&);
    friend void Read(TextFile&, char&);
    friend void ReadLn(TextFile&, std::string&);
    friend void ReadLn(TextFile&);
    friend void Write(TextFile&, const std::string&);
    friend void WriteLn(TextFile&, const std::string&);
    void Flush();

    std::string FFileName;
    std::unique_ptr<TTextDevice> FDevice;
    TMode FMode = fmClosed;
    std::string FBuffer; // the whole input, or the output not yet written
    std::size_t FPos = 0;
};

// I/O error numbers the messages below belong to.
constexpr int ioFileNotFound = 2;
constexpr int ioPathNotFound = 3;
constexpr int ioAccessDenied = 5;
constexpr int ioDiskFull = 101;
constexpr int ioFileNotAssigned = 102;
constexpr int ioFileNotOpen = 103;
constexpr int ioNotOpenForInput = 104;
constexpr int ioNotOpenForOutput = 105;
// The run-time's text for an I/O error number ("File not found", ...).
std::string IOErrorText(int Code);
// EInOutError for Code, with the text above.
[[noreturn]] void RaiseInOutError(int Code);

void AssignFile(TextFile& F, const std::string& FileName);
void AssignDevice(TextFile& F, std::unique_ptr<TTextDevice> Device);
void Reset(TextFile& F);   // open for reading; the file must exist
void Rewrite(TextFile& F); // open for writing, replacing the file when it is closed
void Append(TextFile& F);  // open for writing after what the file holds
void CloseFile(TextFile& F);
bool Eof(TextFile& F);
bool Eoln(TextFile& F);
void Read(TextFile& F, char& Ch); // at the end of the file Ch is #26
void ReadLn(TextFile& F, std::string& S);
void ReadLn(TextFile& F);
void Write(TextFile& F, const std::string& S);
void WriteLn(TextFile& F, const std::string& S = std::string()); // ends the line with CR LF
