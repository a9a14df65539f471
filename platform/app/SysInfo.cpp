#include "platform/app/SysInfo.h"

#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

#include <QCoreApplication>
#include <QThread>

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <unordered_set>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Test override

namespace {

std::optional<TSystemQueryOverride>& Override()
{
    static std::optional<TSystemQueryOverride> O;
    return O;
}

} // namespace

void SetSystemQueryOverride(const TSystemQueryOverride* O)
{
    if (O)
        Override() = *O;
    else
        Override().reset();
}

// ---------------------------------------------------------------------------------------------
// Version

namespace {

struct TKernelRelease {
    DWORD Major = 4, Minor = 0, Build = 0;
    std::string Text;
};

TKernelRelease KernelRelease()
{
    TKernelRelease R;
    utsname U{};
    if (uname(&U) != 0)
        return R;
    unsigned Major = 0, Minor = 0, Patch = 0;
    int Got = std::sscanf(U.release, "%u.%u.%u", &Major, &Minor, &Patch);
    if (Got >= 1 && Major >= 4) {
        R.Major = Major;
        R.Minor = Got >= 2 ? Minor : 0;
        R.Build = Got >= 3 ? Patch : 0;
    }
    R.Text = std::string(U.sysname) + " " + U.release;
    return R;
}

} // namespace

BOOL GetVersionEx(OSVERSIONINFO* Info)
{
    if (!Info || Info->dwOSVersionInfoSize < sizeof(OSVERSIONINFO))
        return FALSE;
    const TKernelRelease R = KernelRelease();
    Info->dwMajorVersion = R.Major;
    Info->dwMinorVersion = R.Minor;
    Info->dwBuildNumber = R.Build;
    Info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(Info->szCSDVersion, 0, sizeof Info->szCSDVersion);
    std::strncpy(Info->szCSDVersion, R.Text.c_str(), sizeof Info->szCSDVersion - 1);
    if (const auto& O = Override()) {
        Info->dwPlatformId = O->PlatformId.value_or(Info->dwPlatformId);
        Info->dwMajorVersion = O->MajorVersion.value_or(Info->dwMajorVersion);
        Info->dwMinorVersion = O->MinorVersion.value_or(Info->dwMinorVersion);
    }
    return TRUE;
}

DWORD GetVersion()
{
    const TKernelRelease R = KernelRelease();
    return (std::min<DWORD>(R.Major, 255)) | (std::min<DWORD>(R.Minor, 255) << 8) |
           (std::min<DWORD>(R.Build, 0x7FFF) << 16);
}

// ---------------------------------------------------------------------------------------------
// Processor

void GetSystemInfo(SYSTEM_INFO* Info)
{
    if (!Info)
        return;
    *Info = SYSTEM_INFO{};
#if defined(__x86_64__)
    Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    Info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    Info->wProcessorLevel = 6;
#elif defined(__i386__)
    Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    Info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    Info->wProcessorLevel = 6;
#elif defined(__aarch64__)
    Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
    Info->dwProcessorType = PROCESSOR_ARM;
#elif defined(__arm__)
    Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
    Info->dwProcessorType = PROCESSOR_ARM;
#else
    Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
    long Page = sysconf(_SC_PAGESIZE);
    Info->dwPageSize = Page > 0 ? static_cast<DWORD>(Page) : 4096;
    Info->dwAllocationGranularity = 65536;
    Info->lpMinimumApplicationAddress = reinterpret_cast<void*>(std::uintptr_t(0x10000));
    Info->lpMaximumApplicationAddress = reinterpret_cast<void*>(std::uintptr_t(0x7FFEFFFF));
    long Cpus = sysconf(_SC_NPROCESSORS_ONLN);
    Info->dwNumberOfProcessors = Cpus > 0 ? static_cast<DWORD>(Cpus) : 1;
    const unsigned Bits = std::min<unsigned>(Info->dwNumberOfProcessors, sizeof(std::uintptr_t) * 8);
    Info->dwActiveProcessorMask =
        Bits >= sizeof(std::uintptr_t) * 8 ? ~std::uintptr_t(0) : ((std::uintptr_t(1) << Bits) - 1);
    if (const auto& O = Override())
        Info->dwProcessorType = O->ProcessorType.value_or(Info->dwProcessorType);
}

// ---------------------------------------------------------------------------------------------
// Names

std::string PlatformName(DWORD PlatformId)
{
    static const char* const Names[] = {"Win32s", "Windows 95", "Windows NT"};
    if (PlatformId < std::size(Names))
        return Names[PlatformId];
    return "Unknown Platform" + std::to_string(PlatformId);
}

std::string ProcessorName(DWORD ProcessorType)
{
    switch (ProcessorType) {
    case PROCESSOR_INTEL_386:
        return "80386";
    case PROCESSOR_INTEL_486:
        return "80486";
    case PROCESSOR_INTEL_PENTIUM:
        return "Pentium";
    default:
        return "Unknown Processor" + std::to_string(ProcessorType);
    }
}

// ---------------------------------------------------------------------------------------------
// Memory

namespace {

DWORD Clamp32(std::uint64_t V)
{
    return V > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max() : static_cast<DWORD>(V);
}

std::uint64_t SaturatedSum(std::uint64_t A, std::uint64_t B)
{
    return A > std::numeric_limits<std::uint64_t>::max() - B ? std::numeric_limits<std::uint64_t>::max()
                                                             : A + B;
}

MEMORYSTATUS Clamped(const MEMORYSTATUSEX& X)
{
    MEMORYSTATUS S;
    S.dwMemoryLoad = X.dwMemoryLoad;
    S.dwTotalPhys = Clamp32(X.ullTotalPhys);
    S.dwAvailPhys = Clamp32(X.ullAvailPhys);
    S.dwTotalPageFile = Clamp32(X.ullTotalPageFile);
    S.dwAvailPageFile = Clamp32(X.ullAvailPageFile);
    S.dwTotalVirtual = Clamp32(X.ullTotalVirtual);
    S.dwAvailVirtual = Clamp32(X.ullAvailVirtual);
    return S;
}

} // namespace

MEMORYSTATUSEX MemoryStatusExFromMeminfo(const std::string& Text)
{
    // Values are in kB; anything unparsable counts as 0.
    std::uint64_t Total = 0, Free = 0, Available = 0, Buffers = 0, Cached = 0, SwapTotal = 0, SwapFree = 0;
    bool HaveAvailable = false;
    std::istringstream In(Text);
    std::string Line;
    while (std::getline(In, Line)) {
        const auto Colon = Line.find(':');
        if (Colon == std::string::npos)
            continue;
        const std::string Key = Line.substr(0, Colon);
        std::uint64_t Value = 0;
        std::size_t I = Colon + 1;
        while (I < Line.size() && (Line[I] == ' ' || Line[I] == '\t'))
            ++I;
        bool Digits = false;
        for (; I < Line.size() && Line[I] >= '0' && Line[I] <= '9'; ++I) {
            Digits = true;
            if (Value > (std::numeric_limits<std::uint64_t>::max() - 9) / 10 / 1024) {
                Value = std::numeric_limits<std::uint64_t>::max() / 1024;
                break;
            }
            Value = Value * 10 + static_cast<unsigned>(Line[I] - '0');
        }
        if (!Digits)
            continue;
        const std::uint64_t Bytes = Value * 1024;
        if (Key == "MemTotal")
            Total = Bytes;
        else if (Key == "MemFree")
            Free = Bytes;
        else if (Key == "MemAvailable") {
            Available = Bytes;
            HaveAvailable = true;
        } else if (Key == "Buffers")
            Buffers = Bytes;
        else if (Key == "Cached")
            Cached = Bytes;
        else if (Key == "SwapTotal")
            SwapTotal = Bytes;
        else if (Key == "SwapFree")
            SwapFree = Bytes;
    }
    if (!HaveAvailable)
        Available = Free + Buffers + Cached;
    Available = std::min(Available, Total);
    SwapFree = std::min(SwapFree, SwapTotal);

    MEMORYSTATUSEX S;
    // 128 bits for the product: a (silly) meminfo near 2^64 bytes must not wrap the load.
    S.dwMemoryLoad =
        Total ? static_cast<DWORD>(static_cast<unsigned __int128>(Total - Available) * 100 / Total) : 0;
    S.ullTotalPhys = Total;
    S.ullAvailPhys = Available;
    S.ullTotalPageFile = SaturatedSum(Total, SwapTotal);
    S.ullAvailPageFile = SaturatedSum(Available, SwapFree);
    // The classic 2 GB user address space of a 32-bit process.
    S.ullTotalVirtual = 0x7FFE0000u;
    S.ullAvailVirtual = S.ullTotalVirtual;
    return S;
}

MEMORYSTATUS MemoryStatusFromMeminfo(const std::string& Text)
{
    return Clamped(MemoryStatusExFromMeminfo(Text));
}

namespace {

std::string MeminfoText()
{
    std::ifstream In("/proc/meminfo");
    std::stringstream Text;
    if (In)
        Text << In.rdbuf();
    return Text.str();
}

void ApplyOverride(MEMORYSTATUSEX& S)
{
    const auto& O = Override();
    if (!O)
        return;
    S.dwMemoryLoad = O->MemoryLoad.value_or(S.dwMemoryLoad);
    S.ullAvailPhys = O->AvailPhys.value_or(S.ullAvailPhys);
    S.ullAvailPageFile = O->AvailPageFile.value_or(S.ullAvailPageFile);
    // The totals never read below what is free.
    S.ullTotalPhys = std::max(S.ullTotalPhys, S.ullAvailPhys);
    S.ullTotalPageFile = std::max(S.ullTotalPageFile, S.ullAvailPageFile);
}

} // namespace

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* Buffer)
{
    if (!Buffer || Buffer->dwLength != sizeof(MEMORYSTATUSEX))
        return FALSE;
    *Buffer = MemoryStatusExFromMeminfo(MeminfoText());
    ApplyOverride(*Buffer);
    return TRUE;
}

void GlobalMemoryStatus(MEMORYSTATUS* Buffer)
{
    if (!Buffer)
        return;
    MEMORYSTATUSEX X;
    GlobalMemoryStatusEx(&X);
    *Buffer = Clamped(X);
}

std::int64_t AvailableMemoryKB(const MEMORYSTATUSEX& Status)
{
    // Saturated rather than wrapped: an overridden or absurd figure still shows a large number.
    return static_cast<std::int64_t>(SaturatedSum(Status.ullAvailPhys, Status.ullAvailPageFile) / 1024);
}

// ---------------------------------------------------------------------------------------------
// Error mode

namespace {
UINT gErrorMode = 0;
}

UINT SetErrorMode(UINT Mode)
{
    UINT Previous = gErrorMode;
    gErrorMode = Mode;
    return Previous;
}

// ---------------------------------------------------------------------------------------------
// Global memory

namespace {

struct TGlobalBlock {
    std::vector<char> Bytes;
    int Locks = 0;
};

// Live blocks, so a stale handle is refused. The clipboard may be read from a worker while the
// user-interface thread frees blocks, hence the lock.
std::mutex& BlocksLock()
{
    static std::mutex M;
    return M;
}
std::unordered_set<TGlobalBlock*>& Blocks()
{
    static auto* S = new std::unordered_set<TGlobalBlock*>;
    return *S;
}
TGlobalBlock* BlockOf(HGLOBAL Mem)
{
    auto* B = static_cast<TGlobalBlock*>(Mem);
    return Blocks().count(B) ? B : nullptr;
}

} // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t Bytes)
{
    auto* B = new TGlobalBlock;
    // A zero-sized block still has an address to lock.
    B->Bytes.assign(Bytes ? Bytes : 1, 0);
    B->Bytes.resize(Bytes);
    std::lock_guard<std::mutex> G(BlocksLock());
    Blocks().insert(B);
    return B;
}

HGLOBAL GlobalReAlloc(HGLOBAL Mem, std::size_t Bytes, UINT)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    if (!B)
        return nullptr;
    B->Bytes.resize(Bytes, 0);
    return B;
}

void* GlobalLock(HGLOBAL Mem)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    if (!B)
        return nullptr;
    ++B->Locks;
    if (B->Bytes.capacity() == 0)
        B->Bytes.reserve(1);
    return B->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL Mem)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    if (!B || B->Locks == 0)
        return FALSE;
    --B->Locks;
    return B->Locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL Mem)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    return B ? B->Bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL Mem)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    if (!B)
        return Mem;
    Blocks().erase(B);
    delete B;
    return nullptr;
}

HGLOBAL GlobalAllocBytes(const std::string& Bytes)
{
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
    if (void* P = GlobalLock(Mem)) {
        if (!Bytes.empty())
            std::memcpy(P, Bytes.data(), Bytes.size());
        GlobalUnlock(Mem);
    }
    return Mem;
}

std::string GlobalBytes(HGLOBAL Mem)
{
    std::lock_guard<std::mutex> G(BlocksLock());
    TGlobalBlock* B = BlockOf(Mem);
    return B ? std::string(B->Bytes.begin(), B->Bytes.end()) : std::string();
}

DWORD SleepEx(DWORD Milliseconds, BOOL)
{
    QCoreApplication* App = QCoreApplication::instance();
    if (App && QThread::currentThread() == App->thread() && TestClockActive()) {
        if (Milliseconds == INFINITE)
            throw EInvalidOperation("SleepEx: an endless sleep on the stopped test clock");
        SetTestClock(true, GetTickCount() + Milliseconds);
        return 0;
    }
    if (Milliseconds == INFINITE)
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(24));
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    return 0;
}

void Sleep(DWORD Milliseconds)
{
    SleepEx(Milliseconds, FALSE);
}
