// LumokaProbe.exe: a console tool that shows what the capture graph code sees on this machine.
//   LumokaProbe devices
//   LumokaProbe build <Profile.ini> <index 0-9> [seconds]
//   LumokaProbe latency <Profile.ini> <index 0-9> [seconds]
// Output is UTF-8 with LF line ends. Exit status: 0 success, 1 build failed, 2 usage or file
// error.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <clocale>
#include <cwchar>
#include <string>
#include <vector>

#include "ProbeBuild.h"
#include "ProbeDevices.h"
#include "ProbeLatency.h"
#include "ProbeOutput.h"

namespace {

// A whole decimal number within [low, high]; false for anything else.
bool ParseNumber(const std::wstring& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + (c - L'0');
    }
    if (v < low || v > high) return false;
    value = v;
    return true;
}

int Usage() {
    WriteError(L"usage: LumokaProbe devices");
    WriteError(L"       LumokaProbe build <Profile.ini> <index 0-9> [seconds]");
    WriteError(L"       LumokaProbe latency <Profile.ini> <index 0-9> [seconds]");
    return 2;
}

std::vector<std::wstring> Arguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
    if (argv) LocalFree(argv);
    return args;
}

}  // namespace

int main() {
    // The program's own start-up: the C runtime locale from the user's environment and an
    // apartment for the graph.
    setlocale(LC_ALL, "");
    // The report is UTF-8 with LF line ends: no text-mode translation of "\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const std::vector<std::wstring> args = Arguments();
    if (args.empty()) return Usage();
    const bool devices = args[0] == L"devices" && args.size() == 1;
    const bool latency = args[0] == L"latency";
    const bool build =
        (args[0] == L"build" || latency) && (args.size() == 3 || args.size() == 4);
    int index = 0;
    int seconds = 3;
    if (!devices && !build) return Usage();
    if (build && (!ParseNumber(args[2], 0, 9, index) ||
                  (args.size() == 4 && !ParseNumber(args[3], 0, 3600, seconds)))) {
        return Usage();
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        WriteError(L"LumokaProbe: COM could not be initialised");
        return 2;
    }
    const int status = devices   ? RunDevicesCommand()
                       : latency ? RunLatencyCommand(args[1], index, seconds)
                                 : RunBuildCommand(args[1], index, seconds);
    CoUninitialize();
    return status;
}
