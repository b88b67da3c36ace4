#pragma once
// Large databases are millions of small records. Backing the heap with
// transparent huge pages roughly halves the page faults of loading one (a
// million items load in ~3.5 s instead of ~5 s). The heap is grown once, at
// the start, by half a gigabyte of address space marked for huge pages; only
// what the program uses of it becomes memory. QUANDOR_NO_HUGEPAGES=1 turns
// this off.

namespace quandor {

// Call first thing in main(), before the heap holds anything large.
void preferHugePages();

}  // namespace quandor
