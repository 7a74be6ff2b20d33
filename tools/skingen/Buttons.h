#pragma once

#include <string_view>

#include "Canvas.h"

namespace skingen {

// The three faces of a button icon: plain, "_H" (hover or selected) and "_D" (unavailable).
enum class Look { Normal, Hover, Disabled };

Canvas ButtonFace(int w, int h, Look look, float radius = 3);
Canvas TextButton(int w, int h, std::string_view text, Look look, float scale = 1.0f, bool tab = false);
// Radio-style choice: a dot and a label on a transparent ground, for the 12-pixel effect buttons.
Canvas RadioButton(int w, int h, std::string_view text, Look look);
Canvas ColourChip(int size, Rgb colour, Look look);
Canvas LevelBar(int w, int h, int level, int levels, Look look);
Canvas ToggleSwitch(int w, int h, bool on, Look look);
Canvas CheckBox(int size, bool checked);
Canvas TitleButton(int w, int h, bool close, bool hover);
Rgb TextColour(Look look);

}  // namespace skingen
