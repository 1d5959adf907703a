#pragma once

// How many threads the engine's parallel work uses: OMBRE_THREADS when it is
// a whole number from 1 to 256, else one per core. OMBRE_THREADS=1 gives the
// single-threaded behaviour. Read at every call, so that a command follows
// the environment it runs in; another value is reported on standard error
// and ignored.
int threadCount();
