// Fuzz target: the player's whole preparation of a roll, in the order of its
// run sequence, without FluidSynth: read, check, output frame, header scan,
// hole interpretation, validation, serialisation, playing time, buffer.
#include <cstddef>
#include <string>

#include "harness.h"
#include "rollcore.h"

namespace {

// Kept outside the run so that a run ended by exit(1) can still release them.
MidiFile* inputfile = nullptr;
Array<double>* holestart = nullptr;
std::string op_string;

void run(const char* path) {
    resetplayerstate();
    // The registration trace costs only output, and covers its printing too.
    sc = true;
    // Built first and read after, so that the roll is already held here when
    // the reader ends the run.
    inputfile = new MidiFile();
    inputfile->read(path);
    checkroll(*inputfile);
    holestart = new Array<double>(holecount);
    double lastendtime = 0.0;
    prepareholes(*holestart, lastendtime);
    buildscoreframe(*inputfile);
    headerpass(*inputfile);
    walkholes(*inputfile, *holestart, lastendtime);
    validateroll();
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    printplayingtime(lastendtime);
    fillopbuffer(op_string, op_size);
}

void cleanup() {
    delete inputfile;
    inputfile = nullptr;
    delete holestart;
    holestart = nullptr;
    op_string = std::string();
    resetplayerstate();
}

} // namespace

int main(int argc, char** argv) {
    return fuzzmain(argc, argv, fuzztarget{run, cleanup});
}
