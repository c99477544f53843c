// The mapped stream as a Standard MIDI File, for the MIDI file players of
// virtual organs and for sequencers.
#ifndef VENNOR_LIVE_SAVEFILE_H
#define VENNOR_LIVE_SAVEFILE_H

#include <string>
#include <vector>

#include "MidiFile.h"
#include "mapping.h"

// One track (format 0) at the score's ticks per quarter note: the score's
// tempo events, then every message of the stream at its tick. False, with one
// line in error, when the file cannot be written whole.
bool savestream(MidiFile& score, const std::vector<livemessage>& stream, const std::string& path,
                std::string& error);

#endif
