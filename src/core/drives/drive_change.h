#pragma once
// What changed between the drives present at start and those found now, and how the user is told.

#include <string>
#include <vector>

namespace tarvex {

// Removes every drive that is in both lists from both, walking found from its end. Afterwards
// found holds the added drives and before the removed ones, each in its order. Mount points
// differ in letter case on this system, so they compare exactly.
void SeparateDriveChanges(std::vector<std::string>& before, std::vector<std::string>& found);

// The added line, then the removed line, each with its drives joined by commas and ending in a
// line break; a part without drives is left out.
std::string DriveChangeMessage(const std::vector<std::string>& added,
                               const std::vector<std::string>& removed);

}  // namespace tarvex
