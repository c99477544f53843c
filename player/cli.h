// The start of a run: banner and command-line checks.
#ifndef VENNOR_PLAYER_CLI_H
#define VENNOR_PLAYER_CLI_H

// Prints the banner: an empty line, the title line, the identification line
// and an empty line.
void printbanner();

// Checks the argument count, the roll's existence and the tempo or "s"
// argument; sets sc, optempovalid and specifiedtempo. Every refusal prints its
// line and exits with status 1.
void checkarguments(int argc, char** argv);

#endif
