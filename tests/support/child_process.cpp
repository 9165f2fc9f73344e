#include "support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace tarvex::testing {

ChildResult RunChild(const std::vector<std::string>& argv) {
  ChildResult result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned == 0) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
      if (n > 0) {
        result.Output.append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        break;
      }
    }
  }
  ::close(pipeFds[0]);
  if (spawned != 0) return result;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // posix_spawn reports a program that cannot be run as an exit of 127.
  result.Started = !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tarvex::testing
