#pragma once

#include <string>

namespace skingen {

// Draws the whole skin and writes bitmaps/, icons/, skin.rc, skin.txt, app.ico and appicon.rc into outDir.
// Returns 0 on success, 1 when a file cannot be written.
int WriteSkin(const std::string& outDir);
// Re-reads skin.txt and checks that every listed file exists with a valid header of the listed size and
// that skin.rc names every bitmap. Returns 0 when all is well, 1 otherwise.
int CheckSkin(const std::string& outDir);

}  // namespace skingen
