#pragma once

namespace veskora {

// A rename that never replaces what has the new name (RENAME_NOREPLACE): 0 or
// an errno value, EEXIST when the name is taken; on failure nothing changed.
int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to);

// Whether RenameNoReplace failed only because the file system refuses the flag
// (FUSE, NFS and others).
bool NoReplaceRefused(int err);

// Gives an entry that only we know by its name (a private name of ours) a
// public name without replacing anything: a no-replace rename, or where the
// file system refuses that, a hard link and then the private name removed.
// Removing by name is safe only because nobody else uses that name.
int PublishPrivate(int fromDir, const char* from, int toDir, const char* to);

}  // namespace veskora
