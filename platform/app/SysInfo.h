// The kernel32 subset the programs ask about the machine with: the platform version, the
// processor, memory figures, the error mode and global memory blocks (the form clipboard data
// travels in).
#pragma once

#include "platform/rtl/Types.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// ---------------------------------------------------------------------------------------------
// Version. This system reports itself as an NT-class platform of version 4.0 or later, so the
// programs' "version 4 and later" tests take the modern path.
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
using TOSVersionInfo = OSVERSIONINFO;
// FALSE when dwOSVersionInfoSize is smaller than the record (nothing is filled in then). The
// major and minor numbers come from the kernel release (at least 4.0); szCSDVersion holds the
// kernel's name and release ("Linux 6.1.0").
BOOL GetVersionEx(OSVERSIONINFO* Info);
// Packed as the classic call does: low byte major, next byte minor, bit 31 clear (NT class).
DWORD GetVersion();

// ---------------------------------------------------------------------------------------------
// Processor.
constexpr DWORD PROCESSOR_INTEL_386 = 386;
constexpr DWORD PROCESSOR_INTEL_486 = 486;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;
constexpr DWORD PROCESSOR_ARM = 2577;
constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

struct SYSTEM_INFO {
    WORD wProcessorArchitecture = 0;
    WORD wReserved = 0;
    DWORD dwPageSize = 0;
    void* lpMinimumApplicationAddress = nullptr;
    void* lpMaximumApplicationAddress = nullptr;
    std::uintptr_t dwActiveProcessorMask = 0;
    DWORD dwNumberOfProcessors = 0;
    DWORD dwProcessorType = 0;
    DWORD dwAllocationGranularity = 0;
    WORD wProcessorLevel = 0;
    WORD wProcessorRevision = 0;
};
using TSystemInfo = SYSTEM_INFO;
// dwProcessorType: PROCESSOR_INTEL_PENTIUM on x86 (32 or 64 bit), the newest type the programs'
// processor tables name; PROCESSOR_ARM on ARM.
void GetSystemInfo(SYSTEM_INFO* Info);

// ---------------------------------------------------------------------------------------------
// The names the programs' about boxes show for the figures above. Identifiers and types beyond
// the tables get a fallback instead of reading past them.
// 0 "Win32s", 1 "Windows 95", 2 "Windows NT"; any other n: "Unknown Platform" followed by n.
std::string PlatformName(DWORD PlatformId);
// 386 "80386", 486 "80486", 586 "Pentium"; any other n: "Unknown Processor" followed by n
// (no blank).
std::string ProcessorName(DWORD ProcessorType);

// ---------------------------------------------------------------------------------------------
// Memory. The figures are read from /proc/meminfo with 64-bit arithmetic. GlobalMemoryStatusEx
// gives them whole; GlobalMemoryStatus clamps them into its 32-bit fields (a machine with more
// than 4 GB reports 0xFFFFFFFF), so anything that adds or shows sizes asks the Ex form. The
// paging file is the swap space.
struct MEMORYSTATUS {
    DWORD dwLength = sizeof(MEMORYSTATUS);
    DWORD dwMemoryLoad = 0; // percent of physical memory in use
    DWORD dwTotalPhys = 0;
    DWORD dwAvailPhys = 0;
    DWORD dwTotalPageFile = 0;
    DWORD dwAvailPageFile = 0;
    DWORD dwTotalVirtual = 0;
    DWORD dwAvailVirtual = 0;
};
using TMemoryStatus = MEMORYSTATUS;
void GlobalMemoryStatus(MEMORYSTATUS* Buffer);

using DWORDLONG = std::uint64_t;
struct MEMORYSTATUSEX {
    DWORD dwLength = sizeof(MEMORYSTATUSEX);
    DWORD dwMemoryLoad = 0; // percent of physical memory in use
    DWORDLONG ullTotalPhys = 0;
    DWORDLONG ullAvailPhys = 0;
    DWORDLONG ullTotalPageFile = 0;
    DWORDLONG ullAvailPageFile = 0;
    DWORDLONG ullTotalVirtual = 0;
    DWORDLONG ullAvailVirtual = 0;
    DWORDLONG ullAvailExtendedVirtual = 0;
};
using TMemoryStatusEx = MEMORYSTATUSEX;
// FALSE (nothing filled in) when dwLength is not the record's size.
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* Buffer);
// The same figures computed from the text of a meminfo file (tests; a missing or malformed
// line counts as 0, and nothing here divides by zero).
MEMORYSTATUSEX MemoryStatusExFromMeminfo(const std::string& Text);
MEMORYSTATUS MemoryStatusFromMeminfo(const std::string& Text);
// Free physical memory plus free paging space, in whole kilobytes: the about boxes' figure.
std::int64_t AvailableMemoryKB(const MEMORYSTATUSEX& Status);

// ---------------------------------------------------------------------------------------------
// Test hook: figures that the queries above report in place of the machine's own, each only
// when set (the rest stay the machine's). One override at a time, for the user-interface thread.
struct TSystemQueryOverride {
    std::optional<DWORD> PlatformId;
    std::optional<DWORD> MajorVersion;
    std::optional<DWORD> MinorVersion;
    std::optional<DWORD> ProcessorType;
    std::optional<DWORD> MemoryLoad;
    std::optional<DWORDLONG> AvailPhys;
    std::optional<DWORDLONG> AvailPageFile;
};
// nullptr: the machine's figures again. The override is copied.
void SetSystemQueryOverride(const TSystemQueryOverride* Override);

// ---------------------------------------------------------------------------------------------
// Sleeping.
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_IO_COMPLETION = 0x000000C0;
// Suspends the calling thread for Milliseconds (INFINITE: for good). Nothing here queues work
// to a thread, so an alertable sleep is never cut short and the result is always 0.
// On the user-interface thread while the test clock is on, wall time does not pass: the model's
// clock moves on by Milliseconds instead, without dispatching anything (timers that came due
// wait in the queue, as after a real sleep), and INFINITE raises EInvalidOperation, since such a
// sleep could never end.
DWORD SleepEx(DWORD Milliseconds, BOOL Alertable);
void Sleep(DWORD Milliseconds); // SleepEx(Milliseconds, FALSE)

// ---------------------------------------------------------------------------------------------
// Error mode: kept only (there are no system error boxes to suppress here).
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr UINT SEM_NOALIGNMENTFAULTEXCEPT = 0x0004;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;
// Returns the previous mode.
UINT SetErrorMode(UINT Mode);

// ---------------------------------------------------------------------------------------------
// Global memory blocks. A handle stays valid until GlobalFree; calls with a handle that is not a
// live block fail (null, 0) instead of touching memory. GlobalLock gives the block's bytes
// (which stay put until GlobalReAlloc or GlobalFree).
using HGLOBAL = HANDLE;
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GMEM_SHARE = GMEM_DDESHARE;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
// The bytes are always zeroed.
HGLOBAL GlobalAlloc(UINT Flags, std::size_t Bytes);
HGLOBAL GlobalReAlloc(HGLOBAL Mem, std::size_t Bytes, UINT Flags);
void* GlobalLock(HGLOBAL Mem);
BOOL GlobalUnlock(HGLOBAL Mem); // FALSE once the lock count is back at 0
std::size_t GlobalSize(HGLOBAL Mem);
HGLOBAL GlobalFree(HGLOBAL Mem); // null on success, Mem when it was not a block
// Convenience for the layer: a block holding Bytes, and a block's bytes.
HGLOBAL GlobalAllocBytes(const std::string& Bytes);
std::string GlobalBytes(HGLOBAL Mem);
