#pragma once

namespace vorlane {

// The widest bevel a width x height button takes: (width div 2) - 5 and (height div 2) - 5,
// whichever is smaller (div truncating toward zero). 7 on 75 x 25, 6 on 75 x 22.
constexpr int MaxBevelFrameSize(int width, int height)
{
    const int byWidth = width / 2 - 5;
    const int byHeight = height / 2 - 5;
    return byWidth < byHeight ? byWidth : byHeight;
}

} // namespace vorlane
