// The side-panel cartoon: eleven 100 x 100 frames of the snake catching an apple.
#pragma once

#include <QImage>
#include <vector>

namespace kestrum {

inline constexpr int kCartoonFrames = 11;
inline constexpr int kCartoonSize = 100;
inline constexpr int kCartoonFrameMs = 80;

// All the frames; frame 0 is also the still picture between plays.
std::vector<QImage> paintPanelCartoon();
// Frame k (0 .. kCartoonFrames - 1).
QImage paintPanelCartoonFrame(int k);

}  // namespace kestrum
