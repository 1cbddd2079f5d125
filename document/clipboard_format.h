// The program's own clipboard format, "Vostrel Dizado Data": the selected
// bricks as one group record of the document file, in a movable, shareable
// global block. Readers take the record and ignore what follows it.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/core/types.h"

class CBrickGroup;

// The selected bricks of `root` and the sub-groups that hold one, each
// restricted likewise, as a new block. Throws CMemoryException.
HGLOBAL WriteNativeBlock(const CBrickGroup& root);

// Adds the record at the start of `block` to `group`: the bricks at their
// stored places with their stored flags, the stored groups as new
// sub-groups. Every length and count is checked against the block first;
// damage throws CArchiveException, and what was read before it stays.
void ReadNativeBlock(HGLOBAL block, CBrickGroup* group);
