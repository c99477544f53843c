// makeroll: turns a score text into an Estey e-roll.
//   makeroll SCORE OUTPUT.mid
#include <fstream>
#include <iostream>
#include <string>

#include "MidiFile.h"
#include "rollwriter.h"
#include "score.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: " << argv[0] << " SCORE OUTPUT.mid" << std::endl;
        return 1;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read" << std::endl;
        return 1;
    }
    Score score;
    std::string error;
    if (!parseScore(in, score, error) || !finishScore(score, error)) {
        std::cerr << argv[1] << ": " << error << std::endl;
        return 1;
    }
    MidiFile roll;
    buildRoll(score, roll);
    roll.write(argv[2]);
    return 0;
}
