// Registry helpers for in-process servers and device filters: the COM server keys under
// HKCR\CLSID, and a filter's entry in a filter category (the Instance key the system device
// enumerator lists, with its property bag: "FriendlyName", "Description", "DevicePath").
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>

// One filter's entry in a category. instanceKey defaults to the class identifier's string.
struct CCategoryEntry {
    CLSID clsid = GUID_NULL;
    GUID category = GUID_NULL;
    std::wstring friendlyName;
    std::wstring description;  // written only when not empty
    std::wstring devicePath;   // written only when not empty
    std::wstring instanceKey;
    DWORD merit = MERIT_DO_NOT_USE;
};

std::wstring GuidString(REFGUID guid);

// HKCR\CLSID\{clsid} = name, InprocServer32 = modulePath with ThreadingModel.
HRESULT RegisterComServer(REFCLSID clsid, const wchar_t* name, const wchar_t* modulePath,
                          const wchar_t* threadingModel = L"Both");
HRESULT UnregisterComServer(REFCLSID clsid);

// Writes HKCR\CLSID\{category}\Instance\{key} with the entry's values directly.
HRESULT RegisterInCategory(const CCategoryEntry& entry);
// Registers through IFilterMapper2::RegisterFilter (which writes the filter data the
// enumerator reads) and then adds "Description" and "DevicePath" to the moniker's bag.
HRESULT RegisterWithFilterMapper(const CCategoryEntry& entry, const REGFILTER2& data);
HRESULT UnregisterFromCategory(const CCategoryEntry& entry);
