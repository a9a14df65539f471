// Exceptions and the run-time's string, conversion and file routines.
#pragma once

#include "platform/rtl/Types.h"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

// Root of every error the programs raise; carries the message shown to the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
    ~Exception() override = default;
    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& Value) { FMessage = Value; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Raised to leave a handler silently: the application object drops it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// Leaves the current handler without a message.
[[noreturn]] void Abort();

#define TW_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

TW_DECLARE_EXCEPTION(EConvertError, Exception);
TW_DECLARE_EXCEPTION(EOutOfMemory, Exception);
TW_DECLARE_EXCEPTION(EInvalidOperation, Exception);
TW_DECLARE_EXCEPTION(EListError, Exception);
TW_DECLARE_EXCEPTION(EStringListError, Exception);
TW_DECLARE_EXCEPTION(EIntError, Exception);
TW_DECLARE_EXCEPTION(EDivByZero, EIntError);
TW_DECLARE_EXCEPTION(ERangeError, EIntError);
TW_DECLARE_EXCEPTION(EStreamError, Exception);
TW_DECLARE_EXCEPTION(EFCreateError, EStreamError);
TW_DECLARE_EXCEPTION(EFOpenError, EStreamError);
TW_DECLARE_EXCEPTION(EReadError, EStreamError);
TW_DECLARE_EXCEPTION(EWriteError, EStreamError);
TW_DECLARE_EXCEPTION(EOSError, Exception);

// An I/O error of the run-time; ErrorCode is its I/O error number (platform/rtl/TextIO.h), 0 when
// none applies.
class EInOutError : public Exception {
public:
    explicit EInOutError(std::string Msg, int Code = 0) : Exception(std::move(Msg)), ErrorCode(Code) {}
    int ErrorCode = 0;
};

// ---------------------------------------------------------------------------------------------
// Format arguments: one value of any of the kinds Format knows, so that calls read
// Format("%s, version %u.%.2u", {name, major, minor}).
struct TVarRec {
    enum TKind { vtInteger, vtUnsigned, vtExtended, vtString, vtChar, vtPointer, vtBoolean } Kind;
    std::int64_t VInteger = 0;
    double VExtended = 0;
    std::string VString;
    const void* VPointer = nullptr;

    TVarRec(int V) : Kind(vtInteger), VInteger(V) {}
    TVarRec(long V) : Kind(vtInteger), VInteger(V) {}
    TVarRec(long long V) : Kind(vtInteger), VInteger(V) {}
    TVarRec(unsigned V) : Kind(vtUnsigned), VInteger(V) {}
    TVarRec(unsigned long V) : Kind(vtUnsigned), VInteger(static_cast<std::int64_t>(V)) {}
    TVarRec(unsigned long long V) : Kind(vtUnsigned), VInteger(static_cast<std::int64_t>(V)) {}
    TVarRec(short V) : Kind(vtInteger), VInteger(V) {}
    TVarRec(unsigned short V) : Kind(vtUnsigned), VInteger(V) {}
    TVarRec(unsigned char V) : Kind(vtUnsigned), VInteger(V) {}
    TVarRec(double V) : Kind(vtExtended), VExtended(V) {}
    TVarRec(float V) : Kind(vtExtended), VExtended(V) {}
    TVarRec(char V) : Kind(vtChar), VString(1, V) {}
    TVarRec(bool V) : Kind(vtBoolean), VInteger(V ? 1 : 0) {}
    TVarRec(const char* V) : Kind(vtString), VString(V ? V : "") {}
    TVarRec(const std::string& V) : Kind(vtString), VString(V) {}
    TVarRec(const void* V) : Kind(vtPointer), VPointer(V) {}
};

// The separators and date/time formats the conversions use. Dates and times follow the user's
// locale (read once, on first use); the number separators are fixed to "." and "," so that numbers
// written to files read back the same on every machine. Tests and programs may change any field.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "m/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "h:nn AMPM";
    std::string LongTimeFormat = "h:nn:ss AMPM";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
};
// The program's settings, filled from the locale the first time they are asked for.
TFormatSettings& FormatSettings();
// What a locale ("de_DE") gives: its date and time formats, separators and names, with the fixed
// number separators. FormatSettings() starts as this for the user's locale.
TFormatSettings LocaleFormatSettings(const std::string& LocaleName);

// ---------------------------------------------------------------------------------------------
// Strings. Indices the classic routines take are 1-based, as their callers count.

std::string IntToStr(std::int64_t Value);
std::string IntToHex(std::int64_t Value, int Digits); // upper-case, at least Digits digits
// Text to integer: optional blanks and sign, decimal or "$"/"0x" hexadecimal. Raises EConvertError
// "'<text>' is not a valid integer value" on anything else or on a value out of range.
int StrToInt(const std::string& S);
std::int64_t StrToInt64(const std::string& S);
int StrToIntDef(const std::string& S, int Default);
bool TryStrToInt(const std::string& S, int& Value);
// The classic Val: Code = 0 on success, else the 1-based position of the first offending character
// (Value is then 0).
void Val(const std::string& S, int& Value, int& Code);
void Val(const std::string& S, std::int64_t& Value, int& Code);
void Val(const std::string& S, double& Value, int& Code);

std::string FloatToStr(double Value);    // shortest of up to 15 significant digits
double StrToFloat(const std::string& S); // EConvertError "'<text>' is not a valid floating point value"
bool TryStrToFloat(const std::string& S, double& Value);
double StrToFloatDef(const std::string& S, double Default);
// Picture formats: 0 digit, # optional digit, . decimal point, , thousands separators, E+ E- e+ e-
// exponent, '...' and "..." literals, up to three sections "positive;negative;zero".
std::string FormatFloat(const std::string& Format, double Value);

// %[index:][-][width][.precision]type with type d u x s f e g n m p and %%; "*" takes a width or
// precision from the arguments. Raises EConvertError "Format '<format>' invalid or incompatible
// with argument" when an argument is missing or of the wrong kind; unused arguments are ignored.
std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args);
std::string Format(const std::string& Fmt); // the format alone (only %% expands)

std::string Trim(const std::string& S); // drops blanks and control characters at both ends
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
std::string UpperCase(const std::string& S); // ASCII letters only; other bytes unchanged
std::string LowerCase(const std::string& S);
std::string AnsiUpperCase(const std::string& S); // every letter of the UTF-8 text
std::string AnsiLowerCase(const std::string& S);
int CompareStr(const std::string& S1, const std::string& S2);  // byte order: <0, 0, >0
int CompareText(const std::string& S1, const std::string& S2); // ASCII case ignored
bool SameText(const std::string& S1, const std::string& S2);
int AnsiCompareText(const std::string& S1, const std::string& S2);
int Pos(const std::string& SubStr, const std::string& S);     // 1-based; 0 when absent
std::string Copy(const std::string& S, int Index, int Count); // Index 1-based; clipped to S
std::string QuotedStr(const std::string& S);                  // 'it''s'
std::string StringOfChar(char Ch, int Count);
enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          int Flags);
bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index);
int LastDelimiter(const std::string& Delimiters, const std::string& S); // 1-based; 0 when none

// Win32's MulDiv: Number * Numerator / Denominator with a 64-bit product, rounded half away from
// zero; a zero denominator or a result outside 32 bits gives -1.
int MulDiv(int Number, int Numerator, int Denominator);

// ---------------------------------------------------------------------------------------------
// Dates and times: days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;
TDateTime Now();
TDateTime Date();
TDateTime Time();
TDateTime EncodeDate(int Year, int Month, int Day); // EConvertError on an invalid date
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);
int DayOfWeek(TDateTime Value); // 1 = Sunday
// Tokens: d dd ddd dddd ddddd (short date) m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t (short
// time) tt (long time) c am/pm a/p ampm, / and : as the separators, '...' and "..." literals.
std::string FormatDateTime(const std::string& Format, TDateTime Value);
std::string DateToStr(TDateTime Value); // FormatSettings().ShortDateFormat
std::string TimeToStr(TDateTime Value); // FormatSettings().LongTimeFormat
std::string DateTimeToStr(TDateTime Value);

// ---------------------------------------------------------------------------------------------
// Paths. Windows-style names from the programs ("c:\windows\tqini.ini", "ERROR\unit1.bmp") are
// turned into native paths by MapPath, which every file routine below applies:
//   "\" is a separator;
//   "c:\windows" and anything inside it, and a bare "*.ini" name, go to the settings directory;
//   any other drive letter becomes the root "/";
//   a name that does not exist as written is looked up component by component without regard
//   to case, and the first match found is used.
std::string MapPath(const std::string& FileName);
// The same mapping for a name about to be written (created, replaced, renamed or deleted): the
// name is taken exactly as given, so saving "notes.TXT" never overwrites "Notes.txt". Only names
// the mapping puts in the settings directory ("c:\windows\...", a bare "*.ini"), the program's
// own fixed names, still fall back to a match without regard to case. Every writer below uses it.
std::string MapWritePath(const std::string& FileName);
// Exit routines: the program's orderly end runs them, the last one added first, each once, after
// its forms are freed and while the display still exists.
void AddExitProc(std::function<void()> Proc);
void RunExitProcs();

// The program's name: the executable's file name unless a program sets it at start-up.
void SetProgramName(const std::string& Name);
std::string ProgramName();
// $XDG_CONFIG_HOME/<program> (default ~/.config/<program>), without a trailing separator; created
// when it does not exist yet. It stands in for the Windows directory.
std::string SettingsDir();
std::string GetWindowsDirectory();
UINT GetWindowsDirectory(char* Buffer, UINT Size); // the Win32 form: length, or the size needed

// String rules; "/" and "\" both separate, so they work on native and Windows-style names.
std::string ExtractFilePath(const std::string& FileName); // with the trailing separator
std::string ExtractFileDir(const std::string& FileName);  // without it, except at a root
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName); // from the last "." of the name, with it
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string IncludeTrailingPathDelimiter(const std::string& S);
std::string ExcludeTrailingPathDelimiter(const std::string& S);
// Mapped, made absolute against the current directory, "." and ".." resolved.
std::string ExpandFileName(const std::string& FileName);

bool FileExists(const std::string& FileName); // a file, not a directory
bool DirectoryExists(const std::string& Name);
bool CreateDir(const std::string& Dir);        // one level
bool ForceDirectories(const std::string& Dir); // every missing level
bool RemoveDir(const std::string& Dir);
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName); // never replaces a target
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);
std::int64_t FileSizeOf(const std::string& FileName); // -1 when it cannot be read

// Raw file handles (POSIX descriptors); -1 means failure.
enum : int {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};
// Only regular files are opened (a directory, pipe or device gives -1); names opened for writing
// are mapped by MapWritePath.
int FileCreate(const std::string& FileName); // created empty (or truncated), open for writing
// Created empty and opened for writing only when nothing of that name exists yet: an existing
// file (or a link, even a dangling one) is left untouched and gives -1.
int FileCreateNew(const std::string& FileName);
int FileOpen(const std::string& FileName, int Mode);
int FileRead(int Handle, void* Buffer, int Count);
int FileWrite(int Handle, const void* Buffer, int Count);
std::int64_t FileSeek(int Handle, std::int64_t Offset, int Origin); // 0 start, 1 current, 2 end
void FileClose(int Handle);

// The most a whole-file read takes (256 MB): far more than any document a person edits, and a
// clear error instead of memory filling up when someone opens a disk image or a log by mistake.
constexpr std::int64_t MaxReadFileBytes = std::int64_t(256) << 20;
// Reads a whole regular file of at most MaxReadFileBytes; false (errno set, the reason in *Error)
// when it cannot be read. A pipe, a device or a directory is refused without waiting on it.
bool ReadFileBytes(const std::string& FileName, std::string& Bytes, std::string* Error = nullptr);
// The same, raising EFOpenError "Cannot open file "<name>". <reason>" on failure.
std::string LoadFileBytes(const std::string& FileName);
// Writes Bytes through a temporary file in the target's directory renamed into place, so a failed
// write leaves the old file whole. The name is mapped by MapWritePath; a link is written through
// (a dangling one creates the file it names). The target must be a regular file this user may
// write, or missing: a read-only file, a loop of links, a directory, a pipe or a device is an
// error. An existing file keeps its owner, group and permissions, and a file with other hard
// links stays one file under all its names. False (errno set, the reason in *Error) when it
// cannot write.
bool WriteFileAtomic(const std::string& FileName, const std::string& Bytes, std::string* Error = nullptr);
