#pragma once

#include "Canvas.h"

// One dark style for every window: deep charcoal, a cool cyan accent, crisp one-pixel bevels.
namespace skingen::palette {

inline constexpr Rgb kBodyTop = MakeRgb(37, 41, 48);
inline constexpr Rgb kBodyBottom = MakeRgb(20, 22, 27);
inline constexpr Rgb kTitleTop = MakeRgb(46, 51, 60);
inline constexpr Rgb kTitleBottom = MakeRgb(31, 35, 41);
inline constexpr Rgb kPanel = MakeRgb(26, 29, 35);
inline constexpr Rgb kWell = MakeRgb(13, 15, 19);
inline constexpr Rgb kEdgeLight = MakeRgb(70, 78, 91);
inline constexpr Rgb kEdgeDark = MakeRgb(7, 8, 10);
inline constexpr Rgb kAccent = MakeRgb(38, 198, 240);
inline constexpr Rgb kAccentSoft = MakeRgb(120, 224, 250);
inline constexpr Rgb kAccentDeep = MakeRgb(14, 88, 118);
inline constexpr Rgb kText = MakeRgb(208, 216, 226);
inline constexpr Rgb kTextDim = MakeRgb(126, 137, 152);
inline constexpr Rgb kTextOff = MakeRgb(74, 80, 90);
inline constexpr Rgb kWhite = MakeRgb(255, 255, 255);
inline constexpr Rgb kDanger = MakeRgb(232, 72, 72);
inline constexpr Rgb kWarm = MakeRgb(255, 172, 44);
inline constexpr Rgb kGood = MakeRgb(60, 220, 150);
inline constexpr Rgb kChartBack = MakeRgb(8, 20, 34);
inline constexpr Rgb kChartGrid = MakeRgb(0, 84, 107);

}  // namespace skingen::palette
