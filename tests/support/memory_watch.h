// How much a test's process grew in memory while something ran: the peak resident size
// since the watch began (where the kernel lets the peak be reset), else the resident size now.
#pragma once

class CMemoryWatch {
public:
    CMemoryWatch();
    long GrowthBytes() const;

private:
    long m_start;
};
