#pragma once
// The memory of the test process, read from /proc: its resident size now and at its peak, so
// that a test can bound what one step allocates and touches. Under a sanitizer the resident
// size mostly shows the sanitizer's own memory (freed blocks held in quarantine, shadow
// pages): bounds on it are only meaningful in a normal build (ResidentSizeIsTheProgramsOwn).

#include <QtGlobal>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace process_memory {

constexpr qint64 MiB = 1024 * 1024;

// A "VmXxx:   1234 kB" line of /proc/self/status, in bytes.
inline qint64 StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1)) * 1024;
    ADD_FAILURE() << key << " not in /proc/self/status";
    return 0;
}

inline qint64 ResidentBytes() {
    return StatusBytes("VmRSS");
}

// The peak resident size since the last ResetPeakResident.
inline qint64 PeakResidentBytes() {
    return StatusBytes("VmHWM");
}

inline void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool ResidentSizeIsTheProgramsOwn = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool ResidentSizeIsTheProgramsOwn = false;
#else
constexpr bool ResidentSizeIsTheProgramsOwn = true;
#endif
#else
constexpr bool ResidentSizeIsTheProgramsOwn = true;
#endif

} // namespace process_memory
