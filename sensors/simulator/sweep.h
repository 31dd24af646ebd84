// The simulator's made-up machine, as plain functions of the seconds since it started. The CPU
// goes from 25 degrees to about 75 and back in two minutes, through every face; the board
// follows it slowly; the fan speeds up with the CPU.
#pragma once

constexpr double sweepPeriod = 120.0; // seconds for one sweep up and down

int sweepCpu(double seconds);
int sweepBoard(double seconds);
int sweepFan(double seconds);
