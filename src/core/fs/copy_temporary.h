#pragma once
// The copy's temporary file beside its destination: unnamed (O_TMPFILE) where the file system
// allows it, so that a killed copy leaves nothing; else a hidden name of its own pattern, which the
// scan never lists as a file of the user's.

#include <string>
#include <string_view>

#include "core/fs/unique_fd.h"

namespace tarvex {

struct CopyTemporary {
  UniqueFd File;     // open for writing
  std::string Name;  // its name in the destination folder; empty for an unnamed one
};

// ".<name>.tarvex-XXXXXX", shortened to fit a name's 255 bytes (never inside a UTF-8 sequence);
// suffix is the six characters of the XXXXXX.
std::string CopyTemporaryName(const std::string& name, std::string_view suffix);
// Six random letters and digits for CopyTemporaryName.
std::string RandomTemporarySuffix();

// True for a name that CopyTemporaryName makes.
bool IsCopyTemporaryName(std::string_view name);

}  // namespace tarvex
