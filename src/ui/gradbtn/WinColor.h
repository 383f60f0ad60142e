#pragma once

#include <cstdint>

namespace vorlane {

// A colour as the Windows program stored it: 0x00BBGGRR, or a system colour (high bit set, the
// low byte naming the system colour) that is looked up only when drawing.
using TColor = std::uint32_t;

// The named colours the program uses, as WinColor::Black, WinColor::BtnShadow and so on.
namespace WinColor {
inline constexpr TColor Black = 0x000000;
inline constexpr TColor White = 0xFFFFFF;
inline constexpr TColor Red = 0x0000FF;
inline constexpr TColor Gray = 0x808080;
inline constexpr TColor Navy = 0x800000;
inline constexpr TColor Aqua = 0xFFFF00;
// System colours: the palette's button shadow and button highlight.
inline constexpr TColor BtnShadow = 0x80000010;
inline constexpr TColor BtnHighlight = 0x80000014;
} // namespace WinColor

constexpr bool IsSystemColor(TColor color)
{
    return (color & 0x80000000u) != 0;
}

// The colour bytes taken as they are: red low, green middle, blue high.
constexpr int RedOf(TColor color)
{
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(TColor color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(TColor color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}

// Each channel is truncated to its byte.
constexpr TColor RgbColor(int red, int green, int blue)
{
    return static_cast<TColor>(red & 0xFF) | (static_cast<TColor>(green & 0xFF) << 8) |
           (static_cast<TColor>(blue & 0xFF) << 16);
}

} // namespace vorlane
