#pragma once

// Ids of the 3D stick-figure window and its angle panel: messages, private window messages,
// the panel and its controls.

namespace dreid_ids {

// "The text of the position data can not be displayed" (a label could not be written).
inline constexpr int kTextNotDisplayed = 32024;

// Private messages of the 3D window: redraw with the SceneRedraw flags in the first parameter,
// and back to the view without turns.
inline constexpr int kRedrawMessage = 0x4C8;
inline constexpr int kOriginalViewMessage = 0x5AD4;

// The angle panel and its controls.
inline constexpr int kAngleDialog = 24226;
inline constexpr int kEditX = 22306, kEditY = 22307, kEditZ = 22308;
inline constexpr int kScrollX = 23232, kScrollY = 23233, kScrollZ = 23234;
inline constexpr int kOriginal = 23252;
inline constexpr int kSingleFrame = 23260;

}  // namespace dreid_ids
