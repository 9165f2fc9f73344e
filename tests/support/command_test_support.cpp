#include "support/command_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace tarvex::commandtest {

RootFolder OpenedRoot(const std::string& path) {
  RootFolder root;
  EXPECT_EQ(root.Open(path), 0) << path;
  return root;
}

void RecordingProgress::ProcessEvents() {
  ++EventTurns;
  if (OnEvents) OnEvents(EventTurns);
}

void RecordingProgress::ClearCopyCancel() {
  ++CancelClears;
  Cancel = false;
}

void RecordingProgress::ShowDialog(const ProgressDialogState& state) {
  Dialog.push_back({Call::Show, state});
}

void RecordingProgress::UpdateDialog(const ProgressDialogState& state) {
  Dialog.push_back({Call::Update, state});
}

bool RecordingProgress::ConfirmInDialog(const ProgressDialogState& state) {
  Dialog.push_back({Call::Confirm, state});
  return ConfirmAnswer;
}

int RecordingProgress::TextWidth(ProgressLine, std::string_view text) {
  int count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

int RecordingProgress::Count(Call kind) const {
  int count = 0;
  for (const DialogCall& call : Dialog) count += call.Kind == kind;
  return count;
}

std::vector<std::int32_t> RecordingProgress::BarPositions() const {
  std::vector<std::int32_t> positions;
  for (const DialogCall& call : Dialog) {
    if (call.Kind != Call::Update) continue;
    if (positions.empty() || positions.back() != call.State.BarPosition) {
      positions.push_back(call.State.BarPosition);
    }
  }
  return positions;
}

void CommandTreeTest::SetUp() {
  ASSERT_TRUE(filetest::SandboxTrashIsPrivate()) << "GLib does not name the test's own trash";
}

void CommandTreeTest::TearDown() {
  if (noLoss_.HasBaseline()) noLoss_.Expect();
}

void CommandTreeTest::Scan(const std::vector<std::string>& order, bool dirIgnore,
                           PatternList ignore) {
  ScanOptions options;
  options.SubFolder = true;
  options.DirIgnore = dirIgnore;
  ScanFolders(list_, main_.Root(), sub_.Root(), options,
              FilterSet{"every", {}, {"*"}, std::move(ignore)});
  std::vector<PathEntry> arranged;
  for (const std::string& path : order) arranged.push_back(Entry(path));
  for (std::int32_t i = 0; i < list_.PathCount; ++i) {
    if (std::find(order.begin(), order.end(), list_[i].Path) == order.end()) {
      arranged.push_back(list_[i]);
    }
  }
  ASSERT_EQ(static_cast<std::int32_t>(arranged.size()), list_.PathCount);
  list_.Entries = std::move(arranged);
  Baseline();
}

std::int32_t CommandTreeTest::RowOf(const std::string& relative) const {
  for (std::int32_t i = 0; i < list_.PathCount; ++i) {
    if (list_[i].Path == relative) return i + 1;
  }
  ADD_FAILURE() << "no entry " << relative;
  return 0;
}

const PathEntry& CommandTreeTest::Entry(const std::string& relative) const {
  for (std::int32_t i = 0; i < list_.PathCount; ++i) {
    if (list_[i].Path == relative) return list_[i];
  }
  throw std::runtime_error("no entry " + relative);
}

std::int32_t CommandTreeTest::CountSame() const {
  std::int32_t same = 0;
  for (std::int32_t i = 0; i < list_.PathCount; ++i) same += list_[i].Status == Same;
  return same;
}

std::vector<RootChange> CommandTreeTest::SubRootChanges() {
  const std::string root = sub_.Root();
  const std::string away = dir_ / "unplugged";
  const std::string other = dir_ / "other";
  const auto unplug = [=] { EXPECT_EQ(::rename(root.c_str(), away.c_str()), 0) << root; };
  const auto plugBack = [=] { EXPECT_EQ(::rename(away.c_str(), root.c_str()), 0) << root; };
  return {
      {"empty folder edit", [] { return std::string(); }, [] {}},
      {"relative folder edit", [] { return std::string("relative"); }, [] {}},
      {"unplugged",
       [=] {
         unplug();
         return root;
       },
       plugBack},
      {"empty folder left in its place",
       [=] {
         unplug();
         EXPECT_EQ(::mkdir(root.c_str(), 0755), 0);
         return root;
       },
       [=] {
         EXPECT_EQ(::rmdir(root.c_str()), 0);
         plugBack();
       }},
      {"link to a copy of the tree in its place",
       [=] {
         unplug();
         std::filesystem::copy(away, other, std::filesystem::copy_options::recursive);
         EXPECT_EQ(::symlink(other.c_str(), root.c_str()), 0);
         return root;
       },
       [=] {
         EXPECT_EQ(::unlink(root.c_str()), 0);
         std::filesystem::remove_all(other);
         plugBack();
       }},
  };
}

int CommandTreeTest::TemporaryFiles() const {
  int count = 0;
  for (const std::string& root : {main_.Root(), sub_.Root()}) {
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
      count += item.path().filename().string().find(".tarvex-") != std::string::npos;
    }
  }
  return count;
}

std::optional<std::string> RunWithoutRootRights(const std::function<std::string()>& action) {
  if (::geteuid() != 0) return action();
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    const std::string out = action();
    const ssize_t written = ::write(pipeFds[1], out.data(), out.size());
    ::_exit(written == static_cast<ssize_t>(out.size()) ? 0 : 101);
  }
  ::close(pipeFds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
    out.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipeFds[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  return out;
}

}  // namespace tarvex::commandtest
