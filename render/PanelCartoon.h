// The side-panel cartoon: eleven 100 x 100 frames of the snake catching an apple.
#pragma once

#include <QImage>
#include <vector>

namespace kestrum {

inline constexpr int kCartoonFrames = 11;
inline constexpr int kCartoonSize = 100;
inline constexpr int kCartoonFrameMs = 80;

// Painted once at start-up; frame 0 is also the still picture between plays.
std::vector<QImage> paintPanelCartoon();

}  // namespace kestrum
