#include "bank_tool.h"

#include "bank_builder.h"

#include <cstdio>
#include <string>

int runBankTool(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vennorbank <sample-set.orgue> <output.sf2>\n");
        return 1;
    }
    BankSummary summary;
    std::string error;
    if (!buildBank(argv[1], argv[2], summary, error)) {
        std::fprintf(stderr, "vennorbank: %s\n", error.c_str());
        return 1;
    }
    std::printf("vennorbank: %s: %zu recordings, %zu samples (%.1f MB), %zu instruments, "
                "%zu presets\n",
                argv[2], summary.recordings, summary.samples, summary.bytes / 1e6,
                summary.instruments, summary.presets);
    return 0;
}
