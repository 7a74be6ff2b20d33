#include "IconSets.h"

namespace skingen {

void AddLooks(Skin& skin, const std::string& stem, const std::string& extension, const std::string& hover,
              bool withDisabled, const std::function<Canvas(Look)>& draw) {
    skin.AddIcon(stem + extension, draw(Look::Normal));
    if (!hover.empty()) skin.AddIcon(stem + hover + extension, draw(Look::Hover));
    if (withDisabled) skin.AddIcon(stem + "_D" + extension, draw(Look::Disabled));
}

}  // namespace skingen
