// The set of what a command takes out of the model and puts back: bricks of
// the root and whole groups below it. The command keeps a present flag with
// it; while the flag is FALSE every member is out of the tree and the
// command's to destroy, while it is TRUE every member belongs to the tree.
#pragma once

#include <unordered_set>

#include "model/dizad_oet.h"

class CDetachedSet : public CDizadOet {
public:
    CDetachedSet(CBrickGroup* owner, int mode) : CDizadOet(owner, mode) {}

    // The owner's own bricks and sub-groups, to tell later what an edit added.
    using Snapshot = std::unordered_set<const CObject*>;
    Snapshot TakeSnapshot() const;
    // Collects the owner's bricks and sub-groups that the snapshot lacks:
    // bricks one by one, groups whole.
    void CollectAdded(const Snapshot& before);

    // Detaches the members when present, attaches them when not, and flips
    // the flag. Should a listener throw part way, members left in the tree
    // are given up to it, so that the flag (then FALSE) stays true to the set.
    void Flip(BOOL& present);
    // Destroys the members; only while they are out of the tree.
    void DestroyMembers() { DeleteAll(0); }

private:
    void KeepDetachedOnly();
};
