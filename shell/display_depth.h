// The display-depth test run before anything is drawn.
#pragma once

#include <vector>

#include "platform/backend.h"

// Walks the desktop's modes in the order the host lists them. For each 800 x 600 mode of b bits
// the running choice c (from 0) becomes b when b > c, c is not already 24 and b < 33. So a
// 32-bit mode listed after a 24-bit one does not replace the 24-bit choice. 0 means no usable mode.
int ChooseDisplayDepth(const std::vector<DisplayMode>& modes);

constexpr int kMinimumDepth = 16;
