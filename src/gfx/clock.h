// The clock the frame pacing reads and the short sleep it gives the processor back with.
#pragma once

double timer();        // seconds from an arbitrary origin, sub-millisecond resolution
void sleepMs(int ms);  // gives up the processor for 1 to 99 ms
