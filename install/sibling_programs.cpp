#include "install/sibling_programs.h"

namespace tolvex {

// Portable, so that the command log can name the programs an installation closed.
const SiblingProgram kSiblingPrograms[kSiblingCount] = {
    {"plo2.exe", "plo.exe"},   {"rasto2.exe", "rasto.exe"}, {"mepli2.exe", "mepli.exe"},
    {"gaft2.exe", "gaft.exe"}, {"orbe2.exe", "orbe.exe"},
};

}  // namespace tolvex
