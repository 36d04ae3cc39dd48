#include "support/memory_watch.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

long ResidentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

long PeakBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(6)) * 1024;
    return 0;
}

}  // namespace

CMemoryWatch::CMemoryWatch() {
    // "5" resets the peak to the resident size now.
    std::ofstream("/proc/self/clear_refs") << "5";
    m_start = ResidentBytes();
}

long CMemoryWatch::GrowthBytes() const { return std::max(PeakBytes(), ResidentBytes()) - m_start; }
