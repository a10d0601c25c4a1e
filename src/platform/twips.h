#pragma once
// Window measures are kept in twips, as the suite's forms give them: 15 to the pixel.
namespace twips {
constexpr int px(int twips) { return twips / 15; }
constexpr int Twips(int pixeles) { return pixeles * 15; }
} // namespace twips
