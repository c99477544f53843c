// vennoroll-render's own steps: the output file (chosen by its ending, written
// beside its final place and renamed there only on success), the .mid export
// through the model's writer, and the offline render through FluidSynth's file
// renderer. The reading and interpretation of the roll are rollcore's.
#ifndef VENNOR_RENDER_RENDER_H
#define VENNOR_RENDER_RENDER_H

#include <cstddef>
#include <string>
#include <vector>

#include <fluidsynth.h>

#include "spool.h"

enum outputkind {
    unknownoutput,
    midoutput,
    wavoutput,
    flacoutput,
    svgoutput,
    pngoutput,
    pdfoutput,
    pageoutput
};

// The kind of an output path by its ending (.mid, .wav, .flac, .svg, .png,
// .pdf, .html, any case).
outputkind outputkindof(const char* path);

// The command line without its options, and the spool they ask for.
struct renderarguments {
    std::vector<char*> words; // the program, ROLL, OUTPUT and any optempo or s
    spool speedup;
};

// The options (--speed-up, --spool-diameter=MM, --paper-thickness=MM; either
// of the last two turns the speed-up on) may stand anywhere. The usage line
// for any other count of words than ROLL OUTPUT [optempo|s], then vennoroll's
// checks of the roll and the tempo with its messages, then the output's
// ending, then the options. Every refusal prints its line and exits with
// status 1.
renderarguments checkrenderarguments(int argc, char** argv);

// Creates the hidden temporary file beside `output` that receives everything,
// and makes sure it is removed if the run ends before commitoutput (any exit
// or SIGINT, SIGTERM, SIGHUP). Refuses an output that cannot be written, or
// that names the roll itself, with one line and status 1.
void openoutput(const char* roll, const char* output);

// Path of the temporary file; null before openoutput and after commitoutput.
const char* pendingoutput();

// Renames the temporary file onto the output; status 1 when that fails.
void commitoutput();

// Ends the run with "Writing OUTPUT failed" and status 1.
[[noreturn]] void writingfailed();

// Writes outputfile (sorted and serialised already) into the temporary file
// with the model's writer, and checks that all `bytes` arrived.
void writescorefile(size_t bytes);

// Whether the output is a picture (.svg, .png, .pdf).
bool ispicture(outputkind kind);

// Draws the performance that watchperformance gathered while the roll was
// prepared into the temporary file. A roll longer than a picture can hold is
// refused with one line and status 1.
void writepicturefile(outputkind kind);

// The time rendered after the player's end: releases until every voice has
// stopped, at most releaseseconds.
const double releaseseconds = 10.0;

struct renderhandles {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
};

// Renders the performance that watchperformance gathered into a web page
// with its sound, in the temporary file: op_string (op_size bytes) is the
// serialised score. A roll too long for a page is refused with one line and
// status 1.
void writepagefile(renderhandles& fluid, const std::string& op_string, size_t op_size);

// Settings as the player's (gain 1.0, "gs" bank select), a sample-timed
// player and the file type, then the SoundFont at font. Without a usable
// SoundFont, or a FluidSynth that cannot write the type, there is nothing to
// render: one line and status 1. A page's sound is made at 48 kHz.
void setuprender(renderhandles& fluid, outputkind kind);

// Hands op_buffer (op_size bytes) to the player and renders into the
// temporary file, as fast as the machine allows, until the player ends, then
// the tail. Returns the seconds of audio written.
double renderscore(renderhandles& fluid, size_t op_size);

// With the spool's speed-up, the serialised score the audio is rendered from:
// every event of outputfile at its time by the score's own tempo map, in
// ticks of a tenth of a millisecond at one steady tempo. FluidSynth's player
// comes early by up to a millisecond at every tempo event it meets (half a
// second over a long roll at a fine division); at one tempo it keeps time to
// the sample. Without the speed-up, op_string as it is. Returns op_size.
size_t steadyscore(std::string& op_string);

// Seconds played at a tick of the score handed to FluidSynth (steadyscore's
// when it made one), for the progress line.
double handedseconds(long long tick);

// Deletes the player, the synthesiser and the settings.
void teardownrender(renderhandles& fluid);

#endif
