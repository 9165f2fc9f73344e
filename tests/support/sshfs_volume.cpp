#include "support/sshfs_volume.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

extern char** environ;

namespace tarvex::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto StartLimit = std::chrono::seconds(10);
constexpr auto StopLimit = std::chrono::seconds(5);

// The tools live in the sbin folders, which a test's PATH may lack.
std::string FindTool(const char* name) {
  for (const char* folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
    const std::string path = std::string(folder) + name;
    if (::access(path.c_str(), X_OK) == 0) return path;
  }
  return {};
}

void Nap() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

// Starts the program with its standard input from /dev/null and both outputs into log; -1 when
// it cannot be started.
pid_t Spawn(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = -1;
  const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? child : -1;
}

// True when the child has ended (and is reaped); status is then its wait status.
bool Ended(pid_t child, int& status) {
  pid_t got = 0;
  do {
    got = ::waitpid(child, &status, WNOHANG);
  } while (got < 0 && errno == EINTR);
  return got == child || got < 0;
}

// Waits for the child at most limit, then kills it; true when it ended with 0 by itself.
bool WaitOrKill(pid_t child, Clock::duration limit) {
  const Clock::time_point end = Clock::now() + limit;
  int status = 0;
  while (!Ended(child, status)) {
    if (Clock::now() > end) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return false;
    }
    Nap();
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Stop(pid_t& child) {
  if (child <= 0) return;
  ::kill(child, SIGTERM);
  WaitOrKill(child, StopLimit);
  child = -1;
}

bool RunWithin(const std::vector<std::string>& args, const std::string& log) {
  const pid_t child = Spawn(args, log);
  return child > 0 && WaitOrKill(child, StartLimit);
}

// The last line a child wrote, to say why it gave up.
std::string LastLine(const std::string& log) {
  std::ifstream in(log);
  std::string line;
  std::string last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  return last.empty() ? "no output" : last;
}

// A port that was free a moment ago; the sshd's start tells whether it still is.
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// Read from the mount table, not by a stat of the mount point, which a half-started FUSE server
// could leave hanging.
bool IsMountPoint(const std::string& path) {
  std::ifstream mounts("/proc/self/mounts");
  std::string device;
  std::string point;
  std::string rest;
  while (mounts >> device >> point && std::getline(mounts, rest)) {
    if (point == path) return true;
  }
  return false;
}

}  // namespace

SshfsVolume::SshfsVolume(const std::string& folder, const std::string& remote,
                         const std::string& options) {
  std::string base = folder;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  sshFolder_ = base + "/ssh";
  mountPoint_ = base + "/mnt";
  const char* chosenSshd = std::getenv("TARVEX_TEST_SSHD");
  const std::string sshd = chosenSshd != nullptr ? chosenSshd : FindTool("sshd");
  const std::string keygen = FindTool("ssh-keygen");
  const std::string sshfs = FindTool("sshfs");
  if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    whyNot_ = "no usable /dev/fuse";
  } else if (::geteuid() != 0) {
    whyNot_ = "mounting and logging in as root need root rights";
  } else if (sshd.empty() || ::access(sshd.c_str(), X_OK) != 0) {
    whyNot_ = "no sshd (openssh-server) at " + (sshd.empty() ? std::string("/usr/sbin") : sshd);
  } else if (keygen.empty()) {
    whyNot_ = "ssh-keygen (openssh-client) is not installed";
  } else if (sshfs.empty()) {
    whyNot_ = "sshfs is not installed";
  }
  if (!whyNot_.empty()) return;
  if (::mkdir(sshFolder_.c_str(), 0700) != 0 || ::mkdir(mountPoint_.c_str(), 0755) != 0) {
    whyNot_ = "cannot make the folders for the keys and the mount";
    return;
  }
  const std::string log = sshFolder_ + "/keygen.log";
  for (const char* key : {"/host_key", "/user_key"}) {
    if (!RunWithin({keygen, "-q", "-t", "ed25519", "-N", "", "-f", sshFolder_ + key}, log)) {
      whyNot_ = "ssh-keygen failed: " + LastLine(log);
      return;
    }
  }
  if (StartServer(sshd)) mounted_ = Mount(sshfs, remote, options);
  if (!mounted_) {
    Stop(sshfs_);
    Stop(sshd_);
  }
}

bool SshfsVolume::StartServer(const std::string& sshd) {
  // The privilege separation folder, which sshd refuses to start without.
  ::mkdir("/run/sshd", 0755);
  const std::string config = sshFolder_ + "/sshd_config";
  const std::string log = sshFolder_ + "/sshd.log";
  // Another program may take the port between the probe and the start: a few tries.
  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = FreePort();
    if (port_ == 0) {
      whyNot_ = "no free port on 127.0.0.1";
      return false;
    }
    std::ofstream(config, std::ios::trunc)
        << "ListenAddress 127.0.0.1:" << port_ << "\n"
        << "HostKey " << sshFolder_ << "/host_key\n"
        << "AuthorizedKeysFile " << sshFolder_ << "/user_key.pub\n"
        << "PermitRootLogin prohibit-password\n"
        << "PubkeyAuthentication yes\nPasswordAuthentication no\n"
        << "KbdInteractiveAuthentication no\nStrictModes no\nPidFile none\nUsePAM no\n"
        << "Subsystem sftp internal-sftp\nLogLevel ERROR\n";
    sshd_ = Spawn({sshd, "-D", "-f", config, "-e"}, log);
    if (sshd_ <= 0) {
      whyNot_ = "cannot start " + sshd;
      return false;
    }
    const Clock::time_point end = Clock::now() + StartLimit;
    int status = 0;
    for (;;) {
      if (Ended(sshd_, status)) {
        sshd_ = -1;
        whyNot_ = "sshd ended at its start: " + LastLine(log);
        break;
      }
      if (Accepts(port_)) return true;
      if (Clock::now() > end) {
        Stop(sshd_);
        whyNot_ = "sshd did not listen within 10 s";
        return false;
      }
      Nap();
    }
  }
  return false;
}

bool SshfsVolume::Mount(const std::string& sshfs, const std::string& remote,
                        const std::string& options) {
  const std::string log = sshFolder_ + "/sshfs.log";
  // In the foreground, so that the mount's server is a child of the test and can be stopped.
  sshfs_ = Spawn({sshfs, "-f", "-F", "/dev/null", "-p", std::to_string(port_), "-o",
                  "IdentityFile=" + sshFolder_ +
                      "/user_key,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,"
                      "BatchMode=yes,ConnectTimeout=5" +
                      (options.empty() ? "" : "," + options),
                  "root@127.0.0.1:" + remote, mountPoint_},
                 log);
  if (sshfs_ <= 0) {
    whyNot_ = "cannot start " + sshfs;
    return false;
  }
  const Clock::time_point end = Clock::now() + StartLimit;
  int status = 0;
  while (!IsMountPoint(mountPoint_)) {
    if (Ended(sshfs_, status)) {
      sshfs_ = -1;
      whyNot_ = "sshfs could not mount: " + LastLine(log);
      return false;
    }
    if (Clock::now() > end) {
      whyNot_ = "the sshfs mount did not appear within 10 s";
      ::umount2(mountPoint_.c_str(), MNT_DETACH);
      return false;
    }
    Nap();
  }
  return true;
}

SshfsVolume::~SshfsVolume() {
  if (mounted_) {
    // Lazily where something still holds it open, so that the test's folder can go.
    if (::umount2(mountPoint_.c_str(), 0) != 0) ::umount2(mountPoint_.c_str(), MNT_DETACH);
  }
  Stop(sshfs_);
  Stop(sshd_);
}

}  // namespace tarvex::testing
