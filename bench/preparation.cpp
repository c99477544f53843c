// vennoroll's main up to playscore, minus the synthesiser set-up.
#include "preparation.h"

#include <string>

#include "rollcore.h"

size_t prepareroll(int argc, char** argv) {
    printbanner();
    checkarguments(argc, argv);
    std::string op_string;
    const size_t op_size = preparescore(argv[1], op_string);
    fillopbuffer(op_string, op_size);
    return op_size;
}
