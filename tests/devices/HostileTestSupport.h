// The hostile card for a test program: registered (with the other devices) for the program's
// lifetime and removed at its end, its "Hostile" mask set per case, and the check that every
// object of the devices DLL is gone after a case. The programs carry the `screen` label, so
// they run in a prefix of their own and no other test lists the card.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <windows.h>

#include <gtest/gtest.h>

#include "devices/DeviceIds.h"
#include "devices/DeviceNames.h"
#include "../graph/win/TestSupport.h"

namespace hostiletest {

inline const std::wstring kName(lumoka::devicenames::kHostileCard,
                                lumoka::devicenames::kHostileCard +
                                    sizeof(lumoka::devicenames::kHostileCard) - 1);
inline const std::wstring kPath(lumoka::devicenames::kHostileCardPath,
                                lumoka::devicenames::kHostileCardPath +
                                    sizeof(lumoka::devicenames::kHostileCardPath) - 1);

inline FARPROC DevicesExport(const char* name) {
    HMODULE devices = GetModuleHandleW(L"LumokaTestDevices.dll");
    return devices ? GetProcAddress(devices, name) : nullptr;
}

// Lists or removes the card (the DLL is loaded by registering the devices first).
inline HRESULT ListHostileCard(BOOL listed) {
    using Fn = HRESULT(WINAPI*)(BOOL);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(DevicesExport("LumokaRegisterHostileCard")));
    return fn ? fn(listed) : E_NOINTERFACE;
}

inline std::wstring SwitchKey() { return L"Software\\Lumoka2\\TestDevices\\" + kPath; }

// The misbehaviours the next filter object of the card shows.
inline bool SetBehaviours(DWORD mask) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, SwitchKey().c_str(), L"Hostile", REG_DWORD, &mask,
                           sizeof(mask)) == ERROR_SUCCESS;
}

inline void ClearBehaviours() { RegDeleteKeyValueW(HKEY_CURRENT_USER, SwitchKey().c_str(), L"Hostile"); }

// For a test suite's set-up: the devices registered beside the program and the card listed.
// True when both succeeded.
inline bool ListForSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool listed = SUCCEEDED(RegisterDllBesideProgram(L"LumokaTestDevices.dll")) &&
                        ListHostileCard(TRUE) == S_OK;
    CoUninitialize();
    return listed;
}

// For a test suite's tear-down: no behaviour left switched on, the card no longer listed.
inline void UnlistAfterSuite() {
    ClearBehaviours();
    ListHostileCard(FALSE);
}

// GetStreamCaps calls the card answered past its list, since the DLL was loaded.
inline long CapsQueriesBeyondList() {
    using Fn = LONG(WINAPI*)();
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(DevicesExport("LumokaHostileCapsQueriesBeyondList")));
    return fn ? fn() : -1;
}

// Every filter, pin and crossbar of the DLL has been released.
inline HRESULT DevicesCanUnload() {
    using Fn = HRESULT(STDAPICALLTYPE*)();
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(DevicesExport("DllCanUnloadNow")));
    return fn ? fn() : E_NOINTERFACE;
}

}  // namespace hostiletest
