#pragma once

#include <functional>
#include <string>

#include "Buttons.h"
#include "Skin.h"

namespace skingen {

// Adds an icon under `stem` + suffix + `extension` for each look asked for: "" plain, `hover` ("_H" or "H")
// for the hover or selected face, "_D" for the unavailable face.
void AddLooks(Skin& skin, const std::string& stem, const std::string& extension, const std::string& hover,
              bool withDisabled, const std::function<Canvas(Look)>& draw);

}  // namespace skingen
