// The benchmark groups; bench_main.cpp registers them in this order.
#ifndef VENNOR_BENCH_BENCHBODY_H
#define VENNOR_BENCH_BENCHBODY_H

void registermodelbenchmarks();
void registerplayerbenchmarks();
void registersynthbenchmarks();
void registerpeerbenchmarks();
void registersoundbenchmarks();
void registerpicturebenchmarks();

#endif
