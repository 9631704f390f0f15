// The least work of the blend modes, as loops pipeline_bench times beside the modes (see
// Floors.cpp). Built with AVX-512 code; without AVX-512 (BW, VBMI) there are no floors.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lumoka {

struct FloorLoop {
    const char* name;
    const char* mode;  // the benchmark case it bounds
    std::function<void()> frame;
    int outputs = 1;  // output frames per call
};

class CFloors {
public:
    CFloors();
    ~CFloors();
    // One 1920x1080 YUY2 frame per call.
    std::vector<FloorLoop> Loops();
    uint32_t OutputChecksum() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace lumoka
