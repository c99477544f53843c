// Map files: a TOML file that starts from a built-in map and changes any part
// of it; `vennoroll-live --show-map NAME` prints a whole map as such a file.
#ifndef VENNOR_LIVE_MAPFILE_H
#define VENNOR_LIVE_MAPFILE_H

#include <string>

#include "livemap.h"

// Reads the map file at path into map. On any error, false with one line in
// error naming the file, the line and the key: "FILE:LINE: KEY: what is wrong".
bool readmapfile(const std::string& path, livemap& map, std::string& error);

// The same, from the text of a file; path only names it in the error.
bool parsemapfile(const std::string& text, const std::string& path, livemap& map,
                  std::string& error);

// The whole map as a map file, every key written out; it reads back as map.
std::string writemapfile(const livemap& map);

#endif
