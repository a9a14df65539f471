// Starts a program and reports how long it took until its first top-level window was mapped,
// and its resident memory once it has been idle for a while:
//     first_map [--settle MS] [--timeout MS] -- PROGRAM [ARGS...]
// prints "map_ms=<milliseconds> cpu_ms=<milliseconds> rss_kb=<kilobytes>" (the time on the clock
// and the CPU time used until the map) and ends the program again.
// The X server is watched for MapNotify on the root window, so the time is the server's view of
// the window appearing, not the program's.
#include <xcb/xcb.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKb(pid_t Pid)
{
    std::ifstream In("/proc/" + std::to_string(Pid) + "/status");
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind("VmRSS:", 0) == 0)
            return std::atol(Line.c_str() + 6);
    return -1;
}

// CPU time the process has used so far, all its threads together, in milliseconds: less
// disturbed by a busy machine than the time on the clock.
double CpuMs(pid_t Pid)
{
    std::string Dir = "/proc/" + std::to_string(Pid) + "/task";
    double Ns = 0;
    if (DIR* D = opendir(Dir.c_str())) {
        while (dirent* E = readdir(D)) {
            if (E->d_name[0] == '.')
                continue;
            std::ifstream In(Dir + "/" + E->d_name + "/schedstat");
            double Run = 0;
            if (In >> Run)
                Ns += Run;
        }
        closedir(D);
    }
    return Ns / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* C, const char* Name)
{
    xcb_intern_atom_reply_t* R = xcb_intern_atom_reply(
        C, xcb_intern_atom(C, 0, static_cast<uint16_t>(std::strlen(Name)), Name), nullptr);
    xcb_atom_t A = R ? R->atom : XCB_ATOM_NONE;
    std::free(R);
    return A;
}

// The pid a window says it belongs to; 0 when it does not say.
pid_t WindowPid(xcb_connection_t* C, xcb_window_t W, xcb_atom_t PidAtom)
{
    xcb_get_property_reply_t* R =
        xcb_get_property_reply(C, xcb_get_property(C, 0, W, PidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t Pid = 0;
    if (R && xcb_get_property_value_length(R) == 4)
        Pid = static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(R)));
    std::free(R);
    return Pid;
}

// The program may be started through a wrapper (a profiler): its children count as the program.
bool IsOrIsChildOf(pid_t Owner, pid_t Pid)
{
    if (Owner == Pid)
        return true;
    std::ifstream In("/proc/" + std::to_string(Owner) + "/status");
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind("PPid:", 0) == 0)
            return std::atol(Line.c_str() + 5) == Pid;
    return false;
}

void Stop(pid_t Pid)
{
    kill(Pid, SIGTERM);
    for (int I = 0; I < 200; ++I) {
        if (waitpid(Pid, nullptr, WNOHANG) == Pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
}

} // namespace

int main(int Argc, char** Argv)
{
    int SettleMs = 1500, TimeoutMs = 20000, First = 1;
    for (; First < Argc; ++First) {
        if (!std::strcmp(Argv[First], "--settle") && First + 1 < Argc)
            SettleMs = std::atoi(Argv[++First]);
        else if (!std::strcmp(Argv[First], "--timeout") && First + 1 < Argc)
            TimeoutMs = std::atoi(Argv[++First]);
        else if (!std::strcmp(Argv[First], "--")) {
            ++First;
            break;
        } else
            break;
    }
    if (First >= Argc) {
        std::fprintf(stderr, "usage: first_map [--settle MS] [--timeout MS] -- PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* C = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(C)) {
        std::fprintf(stderr, "first_map: cannot open the display\n");
        return 2;
    }
    xcb_window_t Root = xcb_setup_roots_iterator(xcb_get_setup(C)).data->root;
    uint32_t Mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(C, Root, XCB_CW_EVENT_MASK, &Mask);
    xcb_atom_t PidAtom = Atom(C, "_NET_WM_PID"); // a round trip: the mask is in force from here on

    Clock::time_point Start = Clock::now();
    pid_t Pid = fork();
    if (Pid == 0) {
        execvp(Argv[First], Argv + First);
        std::perror("first_map: exec");
        _exit(127);
    }
    if (Pid < 0) {
        std::perror("first_map: fork");
        return 2;
    }

    double MapMs = -1, MapCpuMs = -1;
    pollfd Fd{xcb_get_file_descriptor(C), POLLIN, 0};
    while (MapMs < 0) {
        while (xcb_generic_event_t* E = xcb_poll_for_event(C)) {
            if ((E->response_type & 0x7F) == XCB_MAP_NOTIFY && MapMs < 0) {
                auto* M = reinterpret_cast<xcb_map_notify_event_t*>(E);
                pid_t Owner = M->override_redirect ? -1 : WindowPid(C, M->window, PidAtom);
                if (Owner == 0 || (Owner > 0 && IsOrIsChildOf(Owner, Pid))) {
                    MapMs = std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
                    MapCpuMs = CpuMs(Owner > 0 ? Owner : Pid);
                }
            }
            std::free(E);
        }
        if (MapMs >= 0)
            break;
        int Left = TimeoutMs -
                   static_cast<int>(std::chrono::duration<double, std::milli>(Clock::now() - Start).count());
        if (Left <= 0 || xcb_connection_has_error(C) || waitpid(Pid, nullptr, WNOHANG) == Pid) {
            std::fprintf(stderr, "first_map: %s shows no window\n", Argv[First]);
            Stop(Pid);
            return 1;
        }
        poll(&Fd, 1, std::min(Left, 50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(SettleMs));
    long Rss = ResidentKb(Pid);
    Stop(Pid);
    xcb_disconnect(C);
    std::printf("map_ms=%.1f cpu_ms=%.1f rss_kb=%ld\n", MapMs, MapCpuMs, Rss);
    return 0;
}
