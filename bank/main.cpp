// vennorbank: builds the organ SoundFont from the grandorgue-demo pipe recordings.
#include "bank_tool.h"

int main(int argc, char** argv) {
    return runBankTool(argc, argv);
}
