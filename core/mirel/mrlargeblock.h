// Memory advice for the few large blocks of a document (the text body and
// the row table), which a load fills from end to end at once.
#pragma once

#include <cstddef>

// Asks the system to back the n bytes at p with large pages where it can:
// filling a fresh block of tens of megabytes then costs a few hundred page
// faults instead of tens of thousands. Small blocks and systems without
// such advice are left alone; the contents never change.
void MrAdviseLargeBlock(void* p, size_t n);
