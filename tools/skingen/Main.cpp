// skingen draws every bitmap resource and icon file of the program, so nothing binary is kept in the
// repository. `skingen <outdir>` writes the skin; `skingen --check <outdir>` validates a written skin.
#include <cstdio>
#include <string>
#include <string_view>

#include "Output.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--check") return skingen::CheckSkin(argv[2]);
    if (argc == 2 && argv[1][0] != '-') return skingen::WriteSkin(argv[1]);
    std::fprintf(stderr, "usage: skingen <outdir>\n       skingen --check <outdir>\n");
    return 2;
}
