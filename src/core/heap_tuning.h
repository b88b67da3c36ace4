#pragma once
// Large databases are millions of small records. Backing the heap with
// transparent huge pages roughly halves the page faults of loading one (a
// million items load in ~3.5 s instead of ~5 s). glibc reads this choice only
// from its environment at process start, so the program restarts itself once,
// at the very beginning of main(), with the tunable added.

namespace quandor {

// Call first thing in main(). Returns only when no restart happened (already
// tuned, switched off with QUANDOR_NO_HUGEPAGES=1, or the restart failed).
void preferHugePages(char** argv);

}  // namespace quandor
