// The SoundFont path, set per executable at build time so that a test build
// can point at the bank in its build tree.
#include "state.h"

#ifndef VENNOR_FONT_PATH
#define VENNOR_FONT_PATH "/usr/local/share/vennor/vennorbank-0.sf2"
#endif

const char* font = VENNOR_FONT_PATH;
