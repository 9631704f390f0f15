// The pass-through filter in a graph: pins chosen by index carry video and audio lane by lane,
// and its own property page opens in the platform's property frame.
#include "DeviceTestSupport.h"

#include <olectl.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "devices/DeviceIds.h"
#include "devices/MediaFormats.h"
#include "devices/signal/FrameCounter.h"

namespace lumoka::test {
namespace {

using PassThrough = DeviceGraphTest;

ComPtr<IPin> NthPin(IBaseFilter* f, PIN_DIRECTION dir, int n) {
    ComPtr<IEnumPins> pins;
    f->EnumPins(&pins);
    ComPtr<IPin> p;
    while (pins->Next(1, &p, nullptr) == S_OK) {
        PIN_DIRECTION d;
        p->QueryDirection(&d);
        if (d == dir && n-- == 0) return p;
        p.Reset();
    }
    return nullptr;
}

struct FrameSearch {
    std::wstring caption;
    std::wstring pageText;
    HWND frame = nullptr;
};

BOOL CALLBACK FindPageText(HWND child, LPARAM param) {
    auto* s = reinterpret_cast<FrameSearch*>(param);
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (wcsstr(text, L"Lumoka Test Pass-Through")) s->pageText = text;
    return TRUE;
}

BOOL CALLBACK FindFrame(HWND top, LPARAM param) {
    auto* s = reinterpret_cast<FrameSearch*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(top, text, 256);
    if (wcsstr(text, s->caption.c_str()) && GetCurrentProcessId() == [top] {
            DWORD pid = 0;
            GetWindowThreadProcessId(top, &pid);
            return pid;
        }()) {
        s->frame = top;
        return FALSE;
    }
    return TRUE;
}

TEST_F(PassThrough, CarriesVideoAndAudioLaneByLane) {
    ComPtr<IBaseFilter> card = AddCard(L"Lumoka Test Card", L"lumoka-testcard-1");
    ComPtr<IBaseFilter> pass =
        BindDevice(CLSID_LegacyAmFilterCategory, L"Lumoka Test Pass-Through", L"");
    ASSERT_TRUE(pass);
    ASSERT_EQ(g_.graph->AddFilter(pass.Get(), L"Lumoka Test Pass-Through"), S_OK);
    ComPtr<CRecordingSink> videoSink = MakeSink(), audioSink = MakeSink();
    ASSERT_EQ(g_.graph->AddFilter(videoSink.Get(), L"Video sink"), S_OK);
    ASSERT_EQ(g_.graph->AddFilter(audioSink.Get(), L"Audio sink"), S_OK);

    ComPtr<IAMStreamConfig> config = Config(card.Get());
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 640, 480, 333667);  // RGB32
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<IPin> video = FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                 &MEDIATYPE_Video);
    ComPtr<IPin> audio = FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                 &MEDIATYPE_Audio);
    // An output offers nothing before its input is connected.
    EXPECT_NE(g_.graph->ConnectDirect(NthPin(pass.Get(), PINDIR_OUTPUT, 0).Get(),
                                      SinkPin(videoSink.Get()).Get(), nullptr),
              S_OK);
    ASSERT_EQ(g_.graph->Connect(video.Get(), NthPin(pass.Get(), PINDIR_INPUT, 0).Get()), S_OK);
    ASSERT_EQ(g_.graph->Connect(NthPin(pass.Get(), PINDIR_OUTPUT, 0).Get(),
                                SinkPin(videoSink.Get()).Get()),
              S_OK);
    ASSERT_EQ(g_.graph->Connect(audio.Get(), NthPin(pass.Get(), PINDIR_INPUT, 1).Get()), S_OK);
    ASSERT_EQ(g_.graph->Connect(NthPin(pass.Get(), PINDIR_OUTPUT, 1).Get(),
                                SinkPin(audioSink.Get()).Get()),
              S_OK);
    EXPECT_EQ(videoSink->InputPin()->CurrentMediaType().subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(audioSink->InputPin()->CurrentMediaType().majortype, MEDIATYPE_Audio);

    ASSERT_TRUE(SUCCEEDED(g_.control->Run()));
    ASSERT_TRUE(videoSink->WaitForSamples(5, 3000));
    ASSERT_TRUE(audioSink->WaitForSamples(5, 3000));
    g_.control->Stop();
    const auto frames = videoSink->Samples();
    const PictureLayout layout = LayoutOf(videoSink->InputPin()->CurrentMediaType());
    std::optional<uint32_t> previous;
    for (const CRecordedSample& s : frames) {
        const auto counter = DecodeFrameCounter(s.data.data(), s.data.size(), layout);
        ASSERT_TRUE(counter.has_value());
        if (previous) {
            EXPECT_EQ(*counter, *previous + 1);
        }
        previous = counter;
        EXPECT_TRUE(s.startValid);
    }
    for (const CRecordedSample& s : audioSink->Samples()) EXPECT_FALSE(s.data.empty());
}

TEST_F(PassThrough, ShowsItsOwnPropertyPage) {
    ComPtr<IBaseFilter> card = AddCard(L"Lumoka Test Card", L"lumoka-testcard-1");
    ComPtr<IBaseFilter> pass =
        BindDevice(CLSID_LegacyAmFilterCategory, L"Lumoka Test Pass-Through", L"");
    ASSERT_TRUE(pass);
    ASSERT_EQ(g_.graph->AddFilter(pass.Get(), L"Pass"), S_OK);
    ComPtr<IPin> video = FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                 &MEDIATYPE_Video);
    ASSERT_EQ(g_.graph->Connect(video.Get(), NthPin(pass.Get(), PINDIR_INPUT, 0).Get()), S_OK);

    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(pass.As(&specify), S_OK);
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_EQ(pages.pElems[0], CLSID_LumokaPassThroughPage);

    // The frame is modal: a second thread waits for it and for the page's text (20 s for what
    // takes well under one), then closes it.
    FrameSearch search;
    search.caption = L"Lumoka pass-through page test";
    std::atomic<bool> done{false};
    std::thread closer([&] {
        const ULONGLONG end = GetTickCount64() + 20000;
        while (!done && GetTickCount64() < end) {
            if (!search.frame) EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&search));
            if (search.frame) {
                EnumChildWindows(search.frame, FindPageText, reinterpret_cast<LPARAM>(&search));
                if (search.pageText.find(L"Lane 2") != std::wstring::npos) break;
            }
            Sleep(20);
        }
        if (search.frame) {
            PostMessageW(search.frame, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(search.frame, WM_CLOSE, 0, 0);
        }
    });
    IUnknown* object = pass.Get();
    const HRESULT hr = OleCreatePropertyFrame(nullptr, 0, 0, search.caption.c_str(), 1, &object,
                                              pages.cElems, pages.pElems, 0, 0, nullptr);
    done = true;
    closer.join();
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(hr, S_OK);
    ASSERT_TRUE(search.frame != nullptr);
    EXPECT_NE(search.pageText.find(L"Lane 1: Video -> output not connected"), std::wstring::npos)
        << std::string(search.pageText.begin(), search.pageText.end());
    EXPECT_NE(search.pageText.find(L"Lane 2: input not connected"), std::wstring::npos);
}

}  // namespace
}  // namespace lumoka::test
