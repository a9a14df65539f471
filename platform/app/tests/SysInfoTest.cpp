#include "platform/app/SysInfo.h"
#include "platform/app/MMSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

TEST(SysInfoTest, VersionIsAnNtPlatformOfAtLeastFour)
{
    OSVERSIONINFO Info;
    EXPECT_EQ(Info.dwOSVersionInfoSize, 148u); // the size the programs pass
    ASSERT_TRUE(GetVersionEx(&Info));
    EXPECT_EQ(Info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(Info.dwMajorVersion, 4u);
    EXPECT_LT(std::strlen(Info.szCSDVersion), sizeof Info.szCSDVersion);
    EXPECT_EQ(GetVersion() & 0xFF, std::min<DWORD>(Info.dwMajorVersion, 255));
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);

    OSVERSIONINFO Short;
    Short.dwOSVersionInfoSize = 20;
    EXPECT_FALSE(GetVersionEx(&Short));
    EXPECT_FALSE(GetVersionEx(nullptr));
}

TEST(SysInfoTest, ProcessorHasATypeTheProgramsName)
{
    SYSTEM_INFO Info;
    GetSystemInfo(&Info);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(Info.dwProcessorType, PROCESSOR_INTEL_PENTIUM);
#endif
    EXPECT_GE(Info.dwNumberOfProcessors, 1u);
    EXPECT_GT(Info.dwPageSize, 0u);
    EXPECT_NE(Info.dwActiveProcessorMask, 0u);
}

TEST(SysInfoTest, MemoryStatusOfThisMachineIsSane)
{
    MEMORYSTATUS S;
    EXPECT_EQ(S.dwLength, 32u);
    GlobalMemoryStatus(&S);
    EXPECT_GT(S.dwTotalPhys, 0u);
    EXPECT_LE(S.dwAvailPhys, S.dwTotalPhys);
    EXPECT_LE(S.dwMemoryLoad, 100u);
    EXPECT_GE(S.dwTotalPageFile, S.dwTotalPhys);
    EXPECT_LE(S.dwAvailPageFile, S.dwTotalPageFile);
    // The figures are this machine's: the total (which does not move) is the one /proc/meminfo
    // gives.
    EXPECT_EQ(S.dwTotalPhys, MemoryStatusFromMeminfo(testing_support::ReadFileBytes("/proc/meminfo")).dwTotalPhys);
}

TEST(SysInfoTest, MemoryStatusFromMeminfoText)
{
    struct Case {
        const char* Text;
        DWORD Load, TotalPhys, AvailPhys, TotalPage, AvailPage;
    } Cases[] = {
        // 1 GB, a quarter free, 512 MB of swap half used.
        {"MemTotal:        1048576 kB\nMemFree:          100000 kB\nMemAvailable:     262144 kB\n"
         "SwapTotal:        524288 kB\nSwapFree:         262144 kB\n",
         75, 1073741824u, 268435456u, 1610612736u, 536870912u},
        // Older kernels: no MemAvailable, so free + buffers + cached.
        {"MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n", 60, 1024000u, 409600u,
         1024000u, 409600u},
        // 64 GB: the sums overflow 32 bits and are clamped, the load is still right.
        {"MemTotal: 67108864 kB\nMemAvailable: 16777216 kB\nSwapTotal: 8388608 kB\nSwapFree: 8388608 kB\n",
         75, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu},
        // Nothing usable: zeros, no division by zero.
        {"", 0, 0, 0, 0, 0},
        {"MemTotal: lots\nMemFree:\n:::\nSwapFree: 99999999999999999999999999 kB\n", 0, 0, 0, 0, 0},
    };
    for (const Case& C : Cases) {
        const MEMORYSTATUS S = MemoryStatusFromMeminfo(C.Text);
        EXPECT_EQ(S.dwMemoryLoad, C.Load) << C.Text;
        EXPECT_EQ(S.dwTotalPhys, C.TotalPhys) << C.Text;
        EXPECT_EQ(S.dwAvailPhys, C.AvailPhys) << C.Text;
        EXPECT_EQ(S.dwTotalPageFile, C.TotalPage) << C.Text;
        EXPECT_EQ(S.dwAvailPageFile, C.AvailPage) << C.Text;
    }
}

TEST(SysInfoTest, MemoryStatusExKeepsFiguresAbove4GB)
{
    // 64 GB of memory, 16 GB of it free, and 8 GB of unused swap.
    const char* Big =
        "MemTotal: 67108864 kB\nMemAvailable: 16777216 kB\nSwapTotal: 8388608 kB\nSwapFree: 8388608 kB\n";
    const MEMORYSTATUSEX S = MemoryStatusExFromMeminfo(Big);
    EXPECT_EQ(S.dwMemoryLoad, 75u);
    EXPECT_EQ(S.ullTotalPhys, 64ull << 30);
    EXPECT_EQ(S.ullAvailPhys, 16ull << 30);
    EXPECT_EQ(S.ullTotalPageFile, 72ull << 30);
    EXPECT_EQ(S.ullAvailPageFile, 24ull << 30);
    EXPECT_EQ(AvailableMemoryKB(S), 40ll << 20);

    // Absurd sizes saturate instead of wrapping, and the load stays a percentage.
    const MEMORYSTATUSEX Huge = MemoryStatusExFromMeminfo(
        "MemTotal: 18014398509481983 kB\nMemAvailable: 9007199254740991 kB\nSwapTotal: 18014398509481983 kB\n"
        "SwapFree: 18014398509481983 kB\n");
    EXPECT_LE(Huge.dwMemoryLoad, 100u);
    EXPECT_GE(Huge.ullTotalPageFile, Huge.ullTotalPhys);
    EXPECT_GT(AvailableMemoryKB(Huge), 0);

    MEMORYSTATUSEX Wrong;
    Wrong.dwLength = sizeof(MEMORYSTATUS);
    EXPECT_FALSE(GlobalMemoryStatusEx(&Wrong));
    EXPECT_EQ(Wrong.ullTotalPhys, 0u);
    EXPECT_FALSE(GlobalMemoryStatusEx(nullptr));
    MEMORYSTATUSEX Mine;
    ASSERT_TRUE(GlobalMemoryStatusEx(&Mine));
    EXPECT_GT(Mine.ullTotalPhys, 0u);
    EXPECT_LE(Mine.ullAvailPhys, Mine.ullTotalPhys);
}

TEST(SysInfoTest, NamesWithFallbacksBeyondTheTables)
{
    const std::pair<DWORD, const char*> Platforms[] = {{0, "Win32s"},
                                                       {1, "Windows 95"},
                                                       {2, "Windows NT"},
                                                       {3, "Unknown Platform3"},
                                                       {0xFFFFFFFF, "Unknown Platform4294967295"}};
    for (const auto& [Id, Name] : Platforms)
        EXPECT_EQ(PlatformName(Id), Name) << Id;
    const std::pair<DWORD, const char*> Processors[] = {{386, "80386"},
                                                        {486, "80486"},
                                                        {586, "Pentium"},
                                                        {4000, "Unknown Processor4000"},
                                                        {686, "Unknown Processor686"},
                                                        {0, "Unknown Processor0"}};
    for (const auto& [Type, Name] : Processors)
        EXPECT_EQ(ProcessorName(Type), Name) << Type;
}

TEST(SysInfoTest, OverrideReplacesOnlyTheFiguresItSets)
{
    OSVERSIONINFO Real;
    ASSERT_TRUE(GetVersionEx(&Real));
    MEMORYSTATUSEX RealMemory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&RealMemory));

    TSystemQueryOverride O;
    O.PlatformId = 7;
    O.ProcessorType = 4000;
    O.AvailPhys = 6ull << 30;
    O.MemoryLoad = 37;
    SetSystemQueryOverride(&O);
    OSVERSIONINFO V;
    ASSERT_TRUE(GetVersionEx(&V));
    EXPECT_EQ(V.dwPlatformId, 7u);
    EXPECT_EQ(V.dwMajorVersion, Real.dwMajorVersion); // not set: the machine's
    SYSTEM_INFO Info;
    GetSystemInfo(&Info);
    EXPECT_EQ(Info.dwProcessorType, 4000u);
    MEMORYSTATUSEX M;
    ASSERT_TRUE(GlobalMemoryStatusEx(&M));
    EXPECT_EQ(M.ullAvailPhys, 6ull << 30);
    EXPECT_GE(M.ullTotalPhys, M.ullAvailPhys);
    EXPECT_EQ(M.dwMemoryLoad, 37u);
    // The 32-bit call clamps what the 64-bit one reports whole.
    MEMORYSTATUS Small;
    GlobalMemoryStatus(&Small);
    EXPECT_EQ(Small.dwAvailPhys, 0xFFFFFFFFu);
    EXPECT_EQ(Small.dwMemoryLoad, 37u);

    SetSystemQueryOverride(nullptr);
    ASSERT_TRUE(GetVersionEx(&V));
    EXPECT_EQ(V.dwPlatformId, VER_PLATFORM_WIN32_NT);
    GetSystemInfo(&Info);
    EXPECT_NE(Info.dwProcessorType, 4000u);
}

TEST(SysInfoTest, ErrorModeIsKeptAndThePreviousReturned)
{
    const UINT Original = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(0), 32769u);
    EXPECT_EQ(SetErrorMode(Original), 0u);
}

TEST(SysInfoTest, GlobalBlocks)
{
    HGLOBAL Mem = GlobalAlloc(GHND, 16);
    ASSERT_NE(Mem, nullptr);
    EXPECT_EQ(GlobalSize(Mem), 16u);
    auto* P = static_cast<unsigned char*>(GlobalLock(Mem));
    ASSERT_NE(P, nullptr);
    for (int I = 0; I < 16; ++I)
        EXPECT_EQ(P[I], 0);
    std::memcpy(P, "0123456789abcdef", 16);
    EXPECT_FALSE(GlobalUnlock(Mem)); // the last lock
    EXPECT_EQ(GlobalBytes(Mem), "0123456789abcdef");
    ASSERT_EQ(GlobalReAlloc(Mem, 20, GMEM_MOVEABLE), Mem);
    EXPECT_EQ(GlobalBytes(Mem), std::string("0123456789abcdef\0\0\0\0", 20));
    EXPECT_EQ(GlobalFree(Mem), nullptr);
    // A freed handle is refused, not followed.
    EXPECT_EQ(GlobalLock(Mem), nullptr);
    EXPECT_EQ(GlobalSize(Mem), 0u);
    EXPECT_EQ(GlobalFree(Mem), Mem);
    HGLOBAL Empty = GlobalAlloc(GMEM_FIXED, 0);
    EXPECT_NE(GlobalLock(Empty), nullptr);
    EXPECT_EQ(GlobalSize(Empty), 0u);
    GlobalFree(Empty);
}

TEST(SysInfoTest, MultimediaClockIsTheModelClock)
{
    SetTestClock(true, 5000);
    EXPECT_EQ(timeGetTime(), 5000u);
    AdvanceTestClock(125);
    EXPECT_EQ(timeGetTime(), 5125u);
    SetTestClock(false);
}

} // namespace

namespace {

// Sleeping on the user-interface thread under the test clock moves the model's clock on and
// leaves due timers queued; it never waits on the wall clock, and an endless sleep fails.
TEST(SleepTest, TestClockSleepAdvancesTheModelClockWithoutDispatching)
{
    ResetWindowModel();
    SetTestClock(true, 1000);
    int Ticks = 0;
    static int* Count = nullptr;
    Count = &Ticks;
    UINT_PTR Id = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++*Count; });
    auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(SleepEx(250, TRUE), 0u);
    Sleep(50);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(200));
    EXPECT_EQ(GetTickCount(), 1300u);
    EXPECT_EQ(Ticks, 0); // nothing ran during the sleep
    ProcessPendingMessages();
    EXPECT_GE(Ticks, 1); // the tick that came due waited in the queue
    EXPECT_THROW(SleepEx(INFINITE, FALSE), EInvalidOperation);
    KillTimer(nullptr, Id);
    ResetWindowModel();
}

TEST(SleepTest, WorkerThreadSleepsOnTheWallClock)
{
    SetTestClock(true, 1000);
    std::chrono::steady_clock::duration Slept{};
    std::thread Worker([&] {
        auto Start = std::chrono::steady_clock::now();
        SleepEx(60, FALSE);
        Slept = std::chrono::steady_clock::now() - Start;
    });
    Worker.join();
    EXPECT_GE(Slept, std::chrono::milliseconds(60));
    EXPECT_EQ(GetTickCount(), 1000u); // the model's clock is the UI thread's business
    SetTestClock(false);
}

} // namespace
