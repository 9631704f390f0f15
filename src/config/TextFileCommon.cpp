#include <atomic>

#include "config/TextFile.h"
#include "config/TextFileDetail.h"

namespace {

std::atomic<int64_t> g_failingWrite{-1};

}  // namespace

void SetTextFileWriteFaultForTesting(int64_t failingWrite) { g_failingWrite = failingWrite; }

namespace textfile_detail {

std::string ToDiskLineEnds(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string FromDiskLineEnds(const std::string& bytes) {
    const size_t end = bytes.find('\x1a');
    const size_t size = end == std::string::npos ? bytes.size() : end;
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    return out;
}

bool ConsumeWriteFault() {
    int64_t current = g_failingWrite.load();
    while (current >= 0) {
        if (g_failingWrite.compare_exchange_weak(current, current - 1)) return current == 0;
    }
    return false;
}

}  // namespace textfile_detail
