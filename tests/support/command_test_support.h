#pragma once
// Test support for the copy and delete commands: a progress interface that records what the
// window would show, file operations with one step replaced, and a pair of folder trees scanned
// into a PathList whose rows a test arranges.

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/commands/command_progress.h"
#include "core/fs/file_operations.h"
#include "core/scan/folder_scan.h"
#include "core/scan/path_list.h"
#include "support/temp_tree.h"
#include "support/trash_sandbox.h"
#include "support/tree_snapshot.h"

namespace tarvex::commandtest {

class RecordingProgress : public CommandProgress {
 public:
  enum class Call { Show, Update, Confirm };
  struct DialogCall {
    Call Kind;
    ProgressDialogState State;
  };

  std::vector<std::string> Log;
  std::vector<DialogCall> Dialog;
  std::vector<int> Pauses;
  int Beeps = 0;
  int EventTurns = 0;
  int CancelClears = 0;
  bool Cancel = false;
  bool ConfirmAnswer = true;
  int WidthLimit = 100000;
  // Runs at every turn for pending events (1 for the first), as a click or another program would.
  std::function<void(int turn)> OnEvents;

  void ProcessEvents() override;
  bool CopyCancelRequested() override { return Cancel; }
  void ClearCopyCancel() override;
  void ShowDialog(const ProgressDialogState& state) override;
  void UpdateDialog(const ProgressDialogState& state) override;
  bool ConfirmInDialog(const ProgressDialogState& state) override;
  int PathWidthLimit() override { return WidthLimit; }
  // One unit per character.
  int TextWidth(ProgressLine line, std::string_view text) override;
  void AddLine(const std::string& text) override { Log.push_back(text); }
  void Pause(int milliseconds) override { Pauses.push_back(milliseconds); }
  void Beep() override { ++Beeps; }

  int Count(Call kind) const;
  const ProgressDialogState& Last() const { return Dialog.back().State; }
  // The bar positions of the updates, in order.
  std::vector<std::int32_t> BarPositions() const;
};

// The real file operations with single steps, reads included, replaced by a test's own. The hooks
// get the path as a person reads it (root and relative joined); a hook that returns nothing lets
// the real step run.
class ScriptedFileOperations : public PosixFileOperations {
 public:
  using StepHook = std::function<std::optional<FileResult>(const std::string& path)>;

  StepHook recycle;                                    // before the trash
  std::function<void(const std::string&)> afterTrash;  // after the real trash took the file
  std::function<FileResult(int, int)> copyData;
  bool unnamedTemporaries = true;  // false: a file system without O_TMPFILE (FAT, FUSE, NFS)
  StepHook linkUnnamed;
  StepHook renameNoReplace;
  StepHook linkNoReplace;
  StepHook renameOverAbsent;
  StepHook exchangeNames;
  std::function<FileResult(const RootFolder&, const std::string&, std::uint32_t,
                           const std::function<void(const DirectoryEntry&)>&)>
      list;
  std::function<bool(const std::string&, DirectoryEntry&)> readEntry;
  std::function<std::optional<bool>(const std::string&)> folderExists;
  std::function<bool(const std::string&)> absent;
  StepHook flushVolume;  // gets the root

  FileResult TrashEntry(int folder, const std::string& name, const std::string& originalName,
                        const std::string& path, TrashedItem& trashed) override {
    if (auto hooked = Run(recycle, path)) return *hooked;
    FileResult result = PosixFileOperations::TrashEntry(folder, name, originalName, path, trashed);
    if (result && afterTrash) afterTrash(path);
    return result;
  }
  FileResult CopyFileData(int from, int to) override {
    return copyData ? copyData(from, to) : PosixFileOperations::CopyFileData(from, to);
  }
  FileResult CreateUnnamedTemporary(int folder, UniqueFd& file) override {
    if (!unnamedTemporaries) return FileResult::Failure(FileStep::CreateTemporary, EOPNOTSUPP, "");
    return PosixFileOperations::CreateUnnamedTemporary(folder, file);
  }
  FileResult LinkUnnamed(int file, int folder, const std::string& name,
                         const std::string& path) override {
    if (auto hooked = Run(linkUnnamed, path)) return *hooked;
    return PosixFileOperations::LinkUnnamed(file, folder, name, path);
  }
  FileResult RenameNoReplace(int fromFolder, const std::string& from, int toFolder,
                             const std::string& to, const std::string& path) override {
    if (auto hooked = Run(renameNoReplace, path)) return *hooked;
    return PosixFileOperations::RenameNoReplace(fromFolder, from, toFolder, to, path);
  }
  FileResult LinkNoReplace(int fromFolder, const std::string& from, int toFolder,
                           const std::string& to, const std::string& path) override {
    if (auto hooked = Run(linkNoReplace, path)) return *hooked;
    return PosixFileOperations::LinkNoReplace(fromFolder, from, toFolder, to, path);
  }
  FileResult RenameOverAbsent(int fromFolder, const std::string& from, int toFolder,
                              const std::string& to, const std::string& path) override {
    if (auto hooked = Run(renameOverAbsent, path)) return *hooked;
    return PosixFileOperations::RenameOverAbsent(fromFolder, from, toFolder, to, path);
  }
  FileResult ExchangeNames(int folder, const std::string& first, const std::string& second,
                           const std::string& path) override {
    if (auto hooked = Run(exchangeNames, path)) return *hooked;
    return PosixFileOperations::ExchangeNames(folder, first, second, path);
  }
  FileResult ListDirectory(const RootFolder& root, const std::string& relative,
                           std::uint32_t attrMask,
                           const std::function<void(const DirectoryEntry&)>& onEntry) override {
    return list ? list(root, relative, attrMask, onEntry)
                : PosixFileOperations::ListDirectory(root, relative, attrMask, onEntry);
  }
  bool ReadDirectoryEntry(const RootFolder& root, const std::string& relative,
                          DirectoryEntry& entry) override {
    return readEntry ? readEntry(root.PathOf(relative), entry)
                     : PosixFileOperations::ReadDirectoryEntry(root, relative, entry);
  }
  bool FolderExists(const RootFolder& root, const std::string& relative) override {
    if (folderExists) {
      if (const std::optional<bool> exists = folderExists(root.PathOf(relative))) return *exists;
    }
    return PosixFileOperations::FolderExists(root, relative);
  }
  FileResult FlushVolume(const RootFolder& root) override {
    if (auto hooked = Run(flushVolume, root.Path())) return *hooked;
    return PosixFileOperations::FlushVolume(root);
  }
  bool IsPathAbsent(const RootFolder& root, const std::string& relative) override {
    return absent ? absent(root.PathOf(relative))
                  : PosixFileOperations::IsPathAbsent(root, relative);
  }

  // A file system that cannot swap two names (RENAME_EXCHANGE), as FAT, exFAT and some network
  // file systems.
  void WithoutExchange() {
    exchangeNames = [](const std::string&) -> std::optional<FileResult> {
      return FileResult::Failure(FileStep::Place, EINVAL, "no RENAME_EXCHANGE");
    };
  }

  // A file system without RENAME_NOREPLACE, RENAME_EXCHANGE and hard links, as FAT and exFAT
  // through FUSE.
  void WithoutNoReplaceOrLinks() {
    unnamedTemporaries = false;
    WithoutExchange();
    renameNoReplace = [](const std::string&) -> std::optional<FileResult> {
      return FileResult::Failure(FileStep::Place, EINVAL, "no RENAME_NOREPLACE");
    };
    linkNoReplace = [](const std::string&) -> std::optional<FileResult> {
      return FileResult::Failure(FileStep::Place, EPERM, "no hard links");
    };
  }

 private:
  static std::optional<FileResult> Run(const StepHook& hook, const std::string& path) {
    return hook ? hook(path) : std::nullopt;
  }
};

// Opens a root for a test, failing the test when it cannot.
RootFolder OpenedRoot(const std::string& path);

inline constexpr std::time_t T0 = 1700000000;  // an even second

// One way in which the sub root stops being the folder that the scan listed.
struct RootChange {
  std::string Name;
  std::function<std::string()> Apply;  // changes the disk; the root text the command then gets
  std::function<void()> Undo;          // puts the scanned folder back
};

// A main and a sub folder in the trash sandbox, built by the test and scanned into List. The scan
// takes the baseline of the no-loss check, which the end of the test applies: every file's bytes
// are still somewhere (the trash included) and nothing else in the sandbox folder changed.
class CommandTreeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Scans both trees (with subfolders) and puts the given paths first, in that order, as the list
  // view's sort would; the rest follow in scan order.
  void Scan(const std::vector<std::string>& order, bool dirIgnore = false, PatternList ignore = {});
  std::int32_t RowOf(const std::string& relative) const;  // grid row, 1-based
  const PathEntry& Entry(const std::string& relative) const;
  std::int32_t CountSame() const;  // entries whose status is Same

  // No temporary copies anywhere in either tree.
  int TemporaryFiles() const;
  // The folder edit emptied or made relative, the stick unplugged (its mount point gone, or left
  // as an empty folder), a link to a copy of the tree put in its place.
  std::vector<RootChange> SubRootChanges();

  // A new baseline for the no-loss check, after the test itself changed the trees.
  void Baseline() { noLoss_.Baseline(); }
  // The no-loss check now, for a test that runs several commands.
  void ExpectNothingLost() { noLoss_.Expect(); }

  filetest::SandboxFolder dir_;
  testing::TempTree main_{dir_ / "main"};
  testing::TempTree sub_{dir_ / "sub"};
  testing::NoLossCheck noLoss_{
      dir_.Path(), {main_.Root(), sub_.Root()}, {filetest::SandboxTrashFolder() + "files"}};
  PathList list_;
  RecordingProgress progress_;
};

// Runs action in a child process with the rights of "nobody" when the test runs as root, and
// returns what it wrote; nothing when the rights cannot be dropped here.
std::optional<std::string> RunWithoutRootRights(const std::function<std::string()>& action);

}  // namespace tarvex::commandtest
