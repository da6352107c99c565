// A disk slow to store what it is given, for the stalling-disk flow (tests/e2e/flows.py), which
// preloads this library into the editor (LD_PRELOAD): every fsync and fdatasync waits
// PASSAGES_STALL_SECONDS before it is done. Only the calling thread waits, as with a real disk.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include <dlfcn.h>

namespace {

timespec stallTime()
{
    const char *text = std::getenv("PASSAGES_STALL_SECONDS");
    const double seconds = text ? std::strtod(text, nullptr) : 0.0;
    double whole = 0;
    const double fraction = std::modf(seconds > 0 ? seconds : 0.0, &whole);
    return timespec{static_cast<time_t>(whole), static_cast<long>(fraction * 1e9)};
}

// Stalls, then makes the real call, whose result and errno are the caller's.
int stalled(const char *name, int file)
{
    static const timespec stall = stallTime();
    timespec left = stall;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, name));
    return real(file);
}

} // namespace

extern "C" int fsync(int file)
{
    return stalled("fsync", file);
}

extern "C" int fdatasync(int file)
{
    return stalled("fdatasync", file);
}
