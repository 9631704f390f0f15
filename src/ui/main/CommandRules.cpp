#include "ui/main/CommandRules.h"

#include "config/Profile.h"
#include "ui/main/CommandIds.h"

namespace {

constexpr int32_t kCopyHardware = 6;
constexpr int32_t kFrameDouble = 2;

struct CommandRow {
    uint32_t Id;
    ProfileSetting Setting;
    int32_t Value;
};

constexpr CommandRow kCommands[] = {
    {ID_TRANSFORM, ProfileSetting::Transform, 0},
    {ID_DEINTERLACE_COPY, ProfileSetting::CopyMode, 0},
    {ID_DEINTERLACE_SIMPLE, ProfileSetting::CopyMode, 1},
    {ID_DEINTERLACE_LINEAR, ProfileSetting::CopyMode, 2},
    {ID_DEINTERLACE_LINEAR_SHARP, ProfileSetting::CopyMode, 3},
    {ID_DEINTERLACE_BLEND, ProfileSetting::CopyMode, 4},
    {ID_DEINTERLACE_BLEND_SHARP, ProfileSetting::CopyMode, 5},
    {ID_DEINTERLACE_HARDWARE, ProfileSetting::CopyMode, 6},
    {ID_FPS_HALF, ProfileSetting::FrameMode, 1},
    {ID_FPS_SAME, ProfileSetting::FrameMode, 0},
    {ID_FPS_DOUBLE, ProfileSetting::FrameMode, 2},
    {ID_FIELD_ORDER_TOP_FIRST, ProfileSetting::FieldOrder, 0},
    {ID_FIELD_ORDER_BOTTOM_FIRST, ProfileSetting::FieldOrder, 1},
    {ID_YC_EXPAND_NONE, ProfileSetting::YCExpand, 0},
    {ID_YC_EXPAND_UYVY, ProfileSetting::YCExpand, 1},
    {ID_YC_EXPAND_YUY2, ProfileSetting::YCExpand, 2},
    {ID_FLIP_VERTICAL, ProfileSetting::FlipVertical, 0},
    {ID_RENDERER_VMR7, ProfileSetting::VideoRenderer, 0},
    {ID_RENDERER_VMR7_NO_OVERLAY, ProfileSetting::VideoRenderer, 1},
    {ID_RENDERER_VMR9, ProfileSetting::VideoRenderer, 2},
    {ID_RENDERER_EVR, ProfileSetting::VideoRenderer, 3},
    {ID_AUDIO_RENDERER_DSOUND, ProfileSetting::AudioRenderer, 0},
    {ID_AUDIO_RENDERER_WAVEOUT, ProfileSetting::AudioRenderer, 1},
};

int32_t Toggled(int32_t value) { return value != 0 ? 0 : 1; }

bool ToOrFrom(int32_t before, int32_t after, int32_t mode) {
    return before != after && (before == mode || after == mode);
}

}  // namespace

bool ProfileCommandOf(uint32_t id, ProfileCommand* out) {
    for (const CommandRow& row : kCommands) {
        if (row.Id == id) {
            *out = ProfileCommand{row.Setting, row.Value};
            return true;
        }
    }
    return false;
}

bool ApplyProfileCommand(const ProfileCommand& command, Profile& profile, bool graphBuilt) {
    switch (command.Setting) {
        case ProfileSetting::Transform:
            profile.PreviewTransform = Toggled(profile.PreviewTransform);
            return graphBuilt;
        case ProfileSetting::CopyMode: {
            const int32_t before = profile.PreviewTransformCopy;
            profile.PreviewTransformCopy = command.Value;
            return graphBuilt && ToOrFrom(before, command.Value, kCopyHardware);
        }
        case ProfileSetting::FrameMode: {
            const int32_t before = profile.PreviewTransformFrame;
            profile.PreviewTransformFrame = command.Value;
            return graphBuilt && profile.PreviewTransformCopy == kCopyHardware &&
                   ToOrFrom(before, command.Value, kFrameDouble);
        }
        case ProfileSetting::FieldOrder:
            profile.PreviewTransformFieldOrder = command.Value;
            return false;
        case ProfileSetting::YCExpand:
            profile.PreviewTransformYCExpand = command.Value;
            return false;
        case ProfileSetting::FlipVertical:
            profile.PreviewTransformFlipVertical = Toggled(profile.PreviewTransformFlipVertical);
            return false;
        case ProfileSetting::VideoRenderer:
            profile.PreviewVideoRenderer = command.Value;
            return graphBuilt;
        case ProfileSetting::AudioRenderer:
            profile.PreviewAudioRenderer = command.Value;
            return graphBuilt;
    }
    return false;
}
