// Start-up against the floor: starts each program in turn under the current X server, measures
// from exec until its first top-level window is mapped (by listening for MapNotify, not by
// polling) and its peak resident memory after one second idle, then prints medians and ratios.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char **environ;

namespace {

struct Sample
{
    double startMs;
    long peakKiB;
};

long peakResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

Sample runOnce(xcb_connection_t *connection, xcb_window_t root, const char *program)
{
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    while (xcb_generic_event_t *stale = xcb_poll_for_event(connection))
        free(stale);

    pid_t pid = 0;
    char *argv[] = {const_cast<char *>(program), nullptr};
    const auto start = std::chrono::steady_clock::now();
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    double startMs = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                            !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
        free(event);
        if (mapped) {
            startMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            break;
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long peak = peakResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return {startMs, peak};
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS FLOOR_PROGRAM PROGRAM\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    std::vector<double> floorMs, programMs;
    std::vector<long> floorKiB, programKiB;
    for (int i = 0; i < runs; ++i) {
        const Sample f = runOnce(connection, root, argv[2]);
        const Sample p = runOnce(connection, root, argv[3]);
        floorMs.push_back(f.startMs);
        floorKiB.push_back(f.peakKiB);
        programMs.push_back(p.startMs);
        programKiB.push_back(p.peakKiB);
    }
    const double fm = median(floorMs), pm = median(programMs);
    const long fk = median(floorKiB), pk = median(programKiB);
    std::printf("%-10s %14s %16s\n", "", "start (ms)", "peak RSS (KiB)");
    std::printf("%-10s %14.1f %16ld\n", "floor", fm, fk);
    std::printf("%-10s %14.1f %16ld\n", "huebrook", pm, pk);
    std::printf("%-10s %13.2fx %+15ld\n", "ratio/diff", pm / fm, pk - fk);
    xcb_disconnect(connection);
    return 0;
}
