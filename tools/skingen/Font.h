#pragma once

#include <string_view>

#include "Canvas.h"

namespace skingen {

// The degree sign has no ASCII code; the font keeps it at the otherwise unused code 0x7F.
inline constexpr char kDegree = '\x7f';

struct TextStyle {
    float scale = 1.0f;
    bool bold = false;
    int spacing = 1;  // empty source columns between glyphs
};

float TextWidth(std::string_view text, const TextStyle& style);
float TextHeight(const TextStyle& style);
void DrawText(Canvas& canvas, float x, float y, std::string_view text, const TextStyle& style,
              const Paint& paint, float opacity = 1.0f);
// Centres the text's ink box on (cx, cy), snapped to whole pixels so scale-1 text stays crisp.
void DrawTextCentered(Canvas& canvas, float cx, float cy, std::string_view text, const TextStyle& style,
                      const Paint& paint, float opacity = 1.0f);

}  // namespace skingen
