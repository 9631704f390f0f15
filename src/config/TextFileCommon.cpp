#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "config/TextFile.h"
#include "config/TextFileDetail.h"

namespace {

std::atomic<int64_t> g_failingWrite{-1};

// The armed point's name and passage, read once from the environment.
struct PauseRequest {
    std::string name;
    int passage = 1;
};

const PauseRequest& Request() {
    static const PauseRequest request = [] {
        PauseRequest r;
        const char* value = std::getenv("LUMOKA_SAVE_PAUSE");
        if (!value) return r;
        r.name = value;
        const size_t at = r.name.find('@');
        if (at != std::string::npos) {
            r.passage = std::atoi(r.name.c_str() + at + 1);
            r.name.erase(at);
        }
        return r;
    }();
    return request;
}

}  // namespace

void SetTextFileWriteFaultForTesting(int64_t failingWrite) { g_failingWrite = failingWrite; }

std::wstring AsReadBack(const std::wstring& text) {
    std::string bytes;
    // Text the encoding refuses outright is never saved; it reads back as nothing else.
    if (!textfile_detail::EncodeDiskText(text, bytes)) return text;
    return textfile_detail::DecodeDiskText(bytes);
}

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

bool IsPausePointArmed(const char* name) { return Request().name == name; }

void PausePoint(const char* name) {
    if (!IsPausePointArmed(name)) return;
    static std::mutex mutex;
    static std::map<std::string, int> passages;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (++passages[name] != Request().passage) return;
    }
    if (const char* signal = std::getenv("LUMOKA_SAVE_PAUSE_SIGNAL")) {
        if (FILE* file = std::fopen(signal, "w")) std::fclose(file);
    }
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

bool ConsumeWriteFault() {
    int64_t current = g_failingWrite.load();
    while (current >= 0) {
        if (g_failingWrite.compare_exchange_weak(current, current - 1)) return current == 0;
    }
    return false;
}

}  // namespace textfile_detail
