// Everything of the player that does not touch FluidSynth, for programs that
// run the same sequence with their own output at the end.
#ifndef VENNOR_PLAYER_ROLLCORE_H
#define VENNOR_PLAYER_ROLLCORE_H

#include "cli.h"
#include "emission.h"
#include "header.h"
#include "holes.h"
#include "prepare.h"
#include "registration.h"
#include "roll.h"
#include "score.h"
#include "serialise.h"
#include "spool.h"
#include "state.h"
#include "tempomap.h"
#include "swell.h"
#include "validate.h"
#include "xlate165.h"

#endif
