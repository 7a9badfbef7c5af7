#pragma once

namespace veskora {

// Gives a file a new name without ever replacing what has that name: a
// rename with RENAME_NOREPLACE, or on file systems that refuse the flag a
// hard link and an unlink. 0 or an errno value (EEXIST when the name is
// taken); on failure nothing changed.
int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to);

// True while another process holds the file open for writing, or opens it for
// writing in the instant this asks. False where it cannot be told.
bool OpenForWritingElsewhere(int fd);

}  // namespace veskora
