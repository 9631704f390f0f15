// Class and interface identifiers of the virtual devices DLL (LumokaTestDevices.dll), shared by
// the DLL and its tests.
//
// Signal loss, for tests: a running capture device can be told to lose its signal in two ways.
//  - In process: query the capture filter for ILumokaTestDevice and call SetSignalLost(TRUE).
//  - From another process (a test driving the program): set the REG_DWORD "SignalLost" = 1
//    under HKEY_CURRENT_USER\Software\Lumoka2\TestDevices\<DevicePath> (the device's
//    "DevicePath", or its "FriendlyName" when the path is empty). Running devices read the
//    value about twice a second.
// Either way the device stops delivering on every pin, reports the decoder as unlocked
// (IAMAnalogVideoDecoder::get_HorizontalLocked gives 0) and sends EC_DEVICE_LOST with its
// IUnknown and 0 (device removed) to the graph. Clearing the switch makes it deliver again and
// sends EC_DEVICE_LOST with 1 (device back). The switch lives as long as the filter object
// (in process) or the registry value (which is not reset by the device).
//
// Unplugging, for tests: "Lumoka Test Card (Hot-Plug)" is a card of its own that leaves and
// rejoins the device enumeration as a USB card does. Call the DLL's export
//   HRESULT WINAPI LumokaPlugHotPlugCard(BOOL plugged)
// (or run `rundll32 LumokaTestDevices.dll,HotPlug unplug|replug`). Unplugging removes the
// card's entry from the video input category and sets the REG_DWORD "Unplugged" = 1 under the
// card's switch key (above); a running hot-plug card then behaves as on signal loss (stops
// delivering, EC_DEVICE_LOST with 0). Replugging writes the entry again and clears the value.
//
// The hostile card, for tests only: "Lumoka Test Card (Hostile)" (path "lumoka-testcard-hostile")
// misbehaves as broken drivers do, so tests can show that the program survives it. It is never
// listed for users: DllRegisterServer (what regsvr32 and the package's register.cmd run) writes
// neither its COM server key nor its category entry. A test lists it by calling the export
//   HRESULT WINAPI LumokaRegisterHostileCard(BOOL listed)
// (TRUE writes both, FALSE removes both; DllUnregisterServer removes them too), and picks the
// misbehaviours with the REG_DWORD "Hostile" under the card's switch key (above): a mask of the
// hostile:: bits below, read when the filter object is created (one bit shows one behaviour
// alone, all bits combine them). The export LONG WINAPI LumokaHostileCapsQueriesBeyondList()
// counts the capability queries it answered past its list (see kCountMismatch). Tests that list it run in a prefix of their own (a screen) so
// no other test sees it, and remove it again.
#pragma once

// Before any platform header: strsafe.h (pulled in by dshow.h) renames the wide printf
// functions that <string> needs.
#include <string>

#include <windows.h>
#include <unknwn.h>

// "Lumoka Test Card" (main, No Path and both instances): capture, preview and audio pins.
inline constexpr GUID CLSID_LumokaTestCard = {
    0xD7766C0A, 0x041A, 0x4D11, {0xB2, 0xE8, 0x3C, 0xC0, 0xFE, 0x64, 0x49, 0x17}};
// "Lumoka Test Card (Preview)": a preview pin only.
inline constexpr GUID CLSID_LumokaTestCardPreview = {
    0x5C77A331, 0x0912, 0x4176, {0x8C, 0x52, 0xB9, 0x6E, 0xB0, 0xDB, 0x98, 0x73}};
// "Lumoka Test Card (Two Crossbars)": like the main card, with two crossbars in series.
inline constexpr GUID CLSID_LumokaTestCardTwoCrossbars = {
    0xFA9C5006, 0x3E39, 0x449D, {0x82, 0x44, 0x8F, 0x9A, 0xEF, 0x45, 0xAF, 0xA1}};
// "Lumoka Test Card (Hot-Plug)": like the main card; it can be unplugged (see above).
inline constexpr GUID CLSID_LumokaTestCardHotPlug = {
    0x2F6B1C84, 0x93D7, 0x4E5A, {0xB0, 0x1E, 0x6C, 0x55, 0x8A, 0x27, 0xD4, 0x3B}};
// "Lumoka Test Card (Hostile)": see the top of this file and HostileCard.h.
inline constexpr GUID CLSID_LumokaHostileCard = {
    0x8B1D0E47, 0x5C2A, 0x4F93, {0xA6, 0x0D, 0x7E, 0x31, 0xC9, 0x52, 0x1B, 0x84}};
// The card's crossbar, added to the graph by the capture filter itself.
inline constexpr GUID CLSID_LumokaCrossbar = {
    0xFEF77682, 0xE359, 0x4C09, {0x8B, 0xA1, 0x40, 0x79, 0x41, 0x52, 0x27, 0x47}};
// "Lumoka Test Tone": the PCM microphone.
inline constexpr GUID CLSID_LumokaTestTone = {
    0x9D966DA5, 0x8240, 0x477A, {0x87, 0xDB, 0x11, 0x03, 0xD8, 0x5C, 0xF3, 0xEA}};
// "Lumoka Test Pass-Through" and its property page.
inline constexpr GUID CLSID_LumokaPassThrough = {
    0x64FC7F36, 0x34E4, 0x475B, {0xA0, 0x5F, 0x25, 0xBC, 0x9B, 0x01, 0x98, 0xE5}};
inline constexpr GUID CLSID_LumokaPassThroughPage = {
    0xE623C3E0, 0x9F07, 0x4512, {0x90, 0x2E, 0x78, 0xB6, 0xD6, 0xE7, 0x0D, 0x25}};

// The test switch of a capture device (see the top of this file). Offered by the test card's
// capture filter and by the test tone's filter.
struct ILumokaTestDevice : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetSignalLost(BOOL lost) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSignalLost(BOOL* lost) = 0;
    // Frames (or audio buffers) delivered by output pin `pin` since it last became active.
    virtual HRESULT STDMETHODCALLTYPE GetDelivered(long pin, long* count) = 0;
};
__CRT_UUID_DECL(ILumokaTestDevice, 0x63A6910D, 0x75D9, 0x467E, 0xA8, 0xA4, 0x3C, 0xEE, 0x83, 0x85,
                0x7E, 0x85)

// Between the card's crossbars and its capture filter (private to the DLL): which connector
// the video decoder output carries, and the notice that a route upstream changed.
struct ILumokaVideoRouting : public IUnknown {
    // The physical connector type (PhysConn_Video_*) that reaches the video decoder output.
    virtual HRESULT STDMETHODCALLTYPE GetRoutedVideoConnector(long* physicalType) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpstreamRouteChanged() = 0;
};
__CRT_UUID_DECL(ILumokaVideoRouting, 0x34DE0651, 0x6031, 0x4B67, 0x9B, 0x31, 0x36, 0x99, 0xB1, 0xE1,
                0xB4, 0x73)

// The misbehaviours of the hostile card (the "Hostile" mask, see the top of this file).
namespace lumoka::hostile {
// Capabilities with zero, negative and huge picture sizes, and one with absurd output ranges.
constexpr DWORD kBadSizes = 0x1;
// Capabilities whose format block is shorter than its header, or missing.
constexpr DWORD kBadBlocks = 0x2;
// Capabilities with frame intervals of 0, negative ones, and a minimum above the maximum.
constexpr DWORD kBadIntervals = 0x4;
// GetNumberOfCapabilities claims INT_MAX capabilities of size 0; GetStreamCaps gives the real
// ones and S_FALSE after them. The crossbar (kCrossbar) claims a million inputs.
constexpr DWORD kCountMismatch = 0x8;
// Pin names of 3000 characters; QueryPinInfo fills every character without a terminator.
constexpr DWORD kLongPinNames = 0x10;
// A crossbar of 40 outputs and 60 inputs in front of the card; Route always fails and some
// pin information and routing queries fail.
constexpr DWORD kCrossbar = 0x20;
// SetFormat accepts any type and the pin then connects and delivers another size.
constexpr DWORD kOtherSize = 0x40;
// Samples shorter than the connected size (half, and one byte short) among the whole ones.
constexpr DWORD kShortSamples = 0x80;
// Samples 4096 bytes longer than the connected size among the whole ones.
constexpr DWORD kLongSamples = 0x100;
// The only type the pin connects with has a 40-byte format block.
constexpr DWORD kShortBlockType = 0x200;
// GetNumberOfCapabilities names a capability structure of INT_MAX bytes.
constexpr DWORD kHugeCapsStructure = 0x400;
constexpr DWORD kAll = 0x7FF;
}  // namespace lumoka::hostile
