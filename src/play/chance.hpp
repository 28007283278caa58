// The deck's random numbers: random_value of the C library's time and rand, 0 to 65535. The
// generator is seeded once per run from the time and the process id.
#pragma once

int random_draw();
void seed_random();
