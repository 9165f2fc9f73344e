#pragma once
// A folder of this machine mounted through sshfs from a private sshd on 127.0.0.1, for a test of
// a network folder as a root: no O_TMPFILE, and RENAME_EXCHANGE, RENAME_NOREPLACE or hard links
// only as far as sshfs and the server offer them. Unmounted and the sshd stopped at the end.

#include <sys/types.h>

#include <string>

namespace tarvex::testing {

class SshfsVolume {
 public:
  // Keys, the sshd's configuration and logs go to folder/ssh, the mount to folder/mnt (folder is
  // the test's own, outside the trees it checks). Where that cannot be done here (no /dev/fuse,
  // no root rights, a tool missing, an sshd or a mount that does not come up in time), Mounted()
  // is false and WhyNot() says why. TARVEX_TEST_SSHD names another sshd to start. options are
  // sshfs's own, added to its -o list ("disable_hardlink").
  SshfsVolume(const std::string& folder, const std::string& remote,
              const std::string& options = {});
  ~SshfsVolume();
  SshfsVolume(const SshfsVolume&) = delete;
  SshfsVolume& operator=(const SshfsVolume&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& Root() const { return mountPoint_; }

 private:
  bool StartServer(const std::string& sshd);
  bool Mount(const std::string& sshfs, const std::string& remote, const std::string& options);

  std::string sshFolder_;
  std::string mountPoint_;
  std::string whyNot_;
  int port_ = 0;
  pid_t sshd_ = -1;
  pid_t sshfs_ = -1;
  bool mounted_ = false;
};

}  // namespace tarvex::testing
