#pragma once
// Runs a program as a child process, for tests that hold Tarvex's output against an independent
// tool.

#include <string>
#include <vector>

namespace tarvex::testing {

struct ChildResult {
  bool Started = false;  // false when the program could not be started (missing, not runnable)
  int ExitCode = -1;     // the exit status; -1 when the child did not exit normally
  std::string Output;    // what it wrote to its standard output
};

// argv[0] is the program's path; its standard error goes to the test's.
ChildResult RunChild(const std::vector<std::string>& argv);

}  // namespace tarvex::testing
