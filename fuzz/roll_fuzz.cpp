// Fuzz target: the player's whole preparation of a roll through the steps of
// preparescore, without FluidSynth, and the buffer it hands over.
#include <cstddef>
#include <string>

#include "harness.h"
#include "rollcore.h"

namespace {

// Kept outside the run so that a run ended by exit(1) can still release them.
MidiFile* inputfile = nullptr;
std::string op_string;

void run(const char* path) {
    resetplayerstate();
    // The registration trace costs only output, and covers its printing too.
    sc = true;
    // Built first and read after, so that the roll is already held here when
    // the reader ends the run.
    inputfile = new MidiFile();
    readroll(path, *inputfile);
    const double lastendtime = interpretroll(*inputfile);
    const size_t op_size = serialiseroll(lastendtime, op_string);
    fillopbuffer(op_string, op_size);
}

void cleanup() {
    delete inputfile;
    inputfile = nullptr;
    op_string = std::string();
    resetplayerstate();
}

} // namespace

int main(int argc, char** argv) {
    return fuzzmain(argc, argv, fuzztarget{run, cleanup});
}
