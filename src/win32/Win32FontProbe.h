#pragma once
#include <string_view>

// True when a font family of this face name is installed for the screen.
bool FontFaceInstalled(std::string_view face);
