// Fuzz target: bytes through the reader, the writer and the text dump.
#include <sstream>

#include "MidiFile.h"
#include "harness.h"

namespace {

// Kept outside the run so that a run ended by exit(1) can still release it.
MidiFile* score = nullptr;

void run(const char* path) {
    // Built first and read after, so that the score is already held here
    // when the reader ends the run.
    score = new MidiFile();
    score->read(path);
    std::ostringstream bytes;
    score->write(bytes);
    std::ostringstream text;
    text << *score;
}

void cleanup() {
    delete score;
    score = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    return fuzzmain(argc, argv, fuzztarget{run, cleanup});
}
