// The swell shades: holes 123 (close) and 124 (open) step the swell velocity.
#ifndef VENNOR_PLAYER_SWELL_H
#define VENNOR_PLAYER_SWELL_H

// t is the opening time of the swell hole; xlate165 counts the hole.
void swellclose(double t);
void swellopen(double t);

#endif
