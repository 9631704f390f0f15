// The transform filter's residence log, for measuring its own latency: for each output frame,
// the time from its input sample's arrival in the input pin's Receive to just before the output
// is handed to the downstream pin, in performance-counter ticks (QueryPerformanceFrequency per
// second). In Double mode an input gives two entries; the second includes the delivery of the
// first. Off until started: while off the streaming path reads one flag and stamps nothing.
#pragma once

#include <windows.h>
#include <unknwn.h>

struct ILumokaFilterLatency : public IUnknown {
    // Drops any earlier log and records the next `capacity` output frames (later ones are not
    // recorded). E_INVALIDARG for 0, E_OUTOFMEMORY when the log cannot be reserved.
    virtual HRESULT STDMETHODCALLTYPE StartResidenceLog(DWORD capacity) = 0;
    // Ends recording; the log stays readable. Waits for the input sample in progress.
    virtual HRESULT STDMETHODCALLTYPE StopResidenceLog() = 0;
    // Copies up to `max` entries, oldest first, and gives the number copied in *count.
    virtual HRESULT STDMETHODCALLTYPE GetResidenceLog(LONGLONG* ticks, DWORD max, DWORD* count) = 0;
};

__CRT_UUID_DECL(ILumokaFilterLatency, 0x9d83fd22, 0x712e, 0x4897, 0x97, 0x56, 0x30, 0xa0, 0xf3, 0xa7,
                0xb6, 0xbb)

// {9D83FD22-712E-4897-9756-30A0F3A7B6BB}
inline constexpr IID IID_ILumokaFilterLatency = {
    0x9d83fd22, 0x712e, 0x4897, {0x97, 0x56, 0x30, 0xa0, 0xf3, 0xa7, 0xb6, 0xbb}};
