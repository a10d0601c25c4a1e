#pragma once
// Measures of the suite's windows are kept in twips, 15 to the pixel.
namespace twips {
constexpr int px(int twips) { return twips / 15; }
constexpr int Twips(int pixeles) { return pixeles * 15; }
} // namespace twips
