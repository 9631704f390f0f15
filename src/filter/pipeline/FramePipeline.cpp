#include "filter/pipeline/FramePipeline.h"

#include <algorithm>
#include <cstdlib>

#include "filter/pipeline/Deinterlacer.h"
#include "filter/pipeline/PixelKernels.h"
#include "filter/pipeline/PixelOps.h"

namespace lumoka {

namespace {

// Where the second field picture starts in its allocation: the two pictures' packed rows then
// differ in their addresses' low 12 bits by 1088 bytes plus whole rows.
constexpr size_t kPictureSkew = 1088;

bool IsYcLayout(int32_t v) { return v == kYCExpandUYVY || v == kYCExpandYUY2; }

bool IsSharpMode(int32_t m) { return m == kCopyModeLinearSharp || m == kCopyModeBlendSharp; }

bool IsBlendMode(int32_t m) { return m == kCopyModeBlend || m == kCopyModeBlendSharp; }

// The field shown: even rows (0) for the first field of a top-first frame or the second field
// of a bottom-first one, odd rows (1) otherwise.
int CurrentField(int32_t fieldOrder, int32_t firstField) {
    const bool first = firstField != 0;
    return fieldOrder == kFieldOrderBottomFirst ? (first ? 1 : 0) : (first ? 0 : 1);
}

}  // namespace

size_t CFramePipeline::Transform(const FrameBuffers& buffers, const PictureHeader& input,
                                 const PictureHeader& output, const TransformSettings& settings,
                                 int32_t firstField, const CpuFeatures& cpu) {
    if (buffers.input == nullptr || buffers.output == nullptr) return 0;
    const int64_t rowBytes = static_cast<int64_t>(input.width) * input.bitCount / 8;
    if (rowBytes <= 0) return 0;
    const int64_t height = std::llabs(static_cast<int64_t>(input.height));
    const int64_t widthGain = std::max<int64_t>(int64_t{output.width} - input.width, 0);
    const bool bottomUpOutput = output.compression == 0 && output.height < 0;

    FrameLayout frame;
    frame.source = buffers.input;
    frame.sourceLength = buffers.inputLength;
    frame.target = buffers.output;
    frame.targetSize = buffers.outputSize;
    frame.rowBytes = rowBytes;
    frame.padding = widthGain * input.bitCount / 8;
    frame.height = height;
    frame.flip = (settings.flipVertical != 0) != bottomUpOutput;

    if (!(cpu.mmx && cpu.sse && cpu.sse2)) return FrameCopyBytewise(frame);
    const size_t length = buffers.inputLength;
    if (length % static_cast<uint64_t>(rowBytes) != 0) return FrameCopy(frame);

    const SimdLevel level = BestSimdLevel(cpu);
    // Any other value would make the copy paths write nothing; it means Off everywhere.
    const int32_t yc = IsYcLayout(settings.ycExpand) ? settings.ycExpand : kYCExpandOff;
    const int32_t mode = settings.copyMode;
    if (mode == kCopyModeCopy || mode == kCopyModeHardware || input.bitCount % 8 != 0) {
        return yc != kYCExpandOff ? YcFrameCopy(frame, yc, level) : FrameCopy(frame);
    }
    const bool deinterlace = mode >= kCopyModeSimple && mode <= kCopyModeBlendSharp;
    if (!deinterlace && yc == kYCExpandOff) return FrameCopy(frame);

    DeinterlaceJob job;
    job.frame = frame;
    job.mode = mode;
    job.field = CurrentField(settings.fieldOrder, firstField);
    job.ycLayout = yc;
    job.keepOtherField = settings.frameMode != kFrameModeDouble;
    job.kernels = &KernelsFor(level);
    job.streamTarget = length >= kStreamTargetBytes;
    if (yc != kYCExpandOff || IsSharpMode(mode)) {
        job.stage = buffers_[0].Request(length);
        if (job.stage == nullptr) return 0;
    }
    if (!deinterlace && !frame.flip && frame.padding == 0) {
        // A copy from the staged frame is one run of all L bytes.
        job.frame.height = static_cast<int64_t>(length / static_cast<uint64_t>(rowBytes));
    }
    if (IsBlendMode(mode)) {
        for (int i = 0; i < 2; ++i) {
            const bool fresh = buffers_[i + 1].Size() != length;
            // The two pictures' rows are read and written at the same offsets.
            job.fieldPictures[i] = buffers_[i + 1].Request(length, i == 0 ? 0 : kPictureSkew);
            if (fresh) forms_[i] = FieldPictureForm{};
            job.forms[i] = &forms_[i];
        }
        if (job.fieldPictures[0] == nullptr || job.fieldPictures[1] == nullptr) return 0;
    }
    // No whole row to process (e.g. an empty sample): nothing to write.
    if (FrameGeometry(job.frame).rows == 0) return 0;
    job.scratchStride = (rowBytes + 63) & ~int64_t{63};
    job.scratch = scratch_.Request(static_cast<size_t>(job.scratchStride) * kScratchRows);
    if (job.scratch == nullptr) return 0;
    return RunDeinterlace(job);
}

void CFramePipeline::CopyWorkBuffer(int i, std::vector<uint8_t>& out) const {
    const CWorkBuffer& b = buffers_[i];
    out.assign(b.Data(), b.Data() + b.Size());
    if (i >= 1 && forms_[i - 1].rowBytes != 0 && !out.empty()) {
        FieldPictureForm form = forms_[i - 1];
        ExpandFieldPicture(out.data(), i - 1, form, kScalarKernels);
    }
}

}  // namespace lumoka
