// prepare_roll: vennoroll without sound. Runs the same sequence up to the
// hand-over of the score, then exits, so that its whole process can be timed
// and measured beside other command-line MIDI tools.
#include "preparation.h"

int main(int argc, char** argv) {
    preparedroll prepared = prepareroll(argc, argv);
    return prepared.op_size > 0 ? 0 : 1;
}
