#pragma once

// The vennorbank command: vennorbank <sample-set.orgue> <output.sf2>. Returns the exit
// status: 0 with a one-line summary on standard output, 1 with a one-line message on
// standard error.
int runBankTool(int argc, char** argv);
