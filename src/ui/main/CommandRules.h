// The commands that change one setting of the selected profile (the transform filter's switch
// and settings, the renderers): which setting a command id sets to what, and whether the change
// needs the graph rebuilt.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>

struct Profile;

enum class ProfileSetting {
    Transform,      // "Preview.Transform", toggled
    CopyMode,       // "Preview.Transform.Copy" 0-6
    FrameMode,      // "Preview.Transform.Frame" 0-2
    FieldOrder,     // "Preview.Transform.FieldOrder" 0-1
    YCExpand,       // "Preview.Transform.YCExpand" 0-2
    FlipVertical,   // "Preview.Transform.FlipVertical", toggled
    VideoRenderer,  // "Preview.VideoRenderer" 0-3
    AudioRenderer,  // "Preview.AudioRenderer" 0-1
};

struct ProfileCommand {
    ProfileSetting Setting = ProfileSetting::Transform;
    int32_t Value = 0;  // the value to store; unused by the toggles
};

// The profile command of a menu command id; false for every other id.
bool ProfileCommandOf(uint32_t id, ProfileCommand* out);

// Stores the command's value in the profile (toggles flip: non-zero becomes 0, zero becomes 1)
// and tells whether the running graph must be rebuilt: the switch and the renderers whenever a
// graph is built; the deinterlace mode when it changes to or from Hardware (6); the frame-rate
// mode while the stored deinterlace mode is Hardware, when it changes to or from Double (2).
// The other settings reach the running filter without a rebuild.
bool ApplyProfileCommand(const ProfileCommand& command, Profile& profile, bool graphBuilt);
