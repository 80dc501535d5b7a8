#pragma once
#include <cstdint>

namespace ui {

// A colour as 0xRRGGBB.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clGreen = 0x008000;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNavy = 0x000080;
constexpr TColor clMaroon = 0x800000;
constexpr TColor clRed = 0xFF0000;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0xFFFF00;
constexpr TColor clBlue = 0x0000FF;
constexpr TColor clGray = 0x808080;
constexpr TColor clBtnFace = 0xF0F0F0;

}  // namespace ui
