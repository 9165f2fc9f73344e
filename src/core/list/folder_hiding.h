#pragma once
// Taking the folder rows out of the file list without losing them.

#include "core/scan/path_list.h"

namespace tarvex {

// Parks every folder entry among positions 0 to PathCount - 1 behind the list: the files keep
// their order at the front and PathCount falls by the number of folders. FolderCount still counts
// them. The parked entries take part in nothing until the next scan replaces the list.
void HideFolders(PathList& list);

}  // namespace tarvex
