#include "core/commands/command_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <sstream>

#include "core/fs/path.h"
#include "core/fs/user_folders.h"
#include "core/fs/write_all.h"
#include "core/text/format_text.h"
#include "core/text/percent_encoding.h"

namespace tarvex {
namespace {

constexpr const char* Magic = "tarvex-journal 1";
constexpr const char* Suffix = ".journal";

const char* SideWord(Side side) { return side == Side::Main ? "main" : "sub"; }

std::optional<Side> SideFromWord(const std::string& word) {
  if (word == "main") return Side::Main;
  if (word == "sub") return Side::Sub;
  return std::nullopt;
}

std::string IdentityFields(const FileIdentity& id) {
  return std::to_string(id.Device) + " " + std::to_string(id.Inode) + " " +
         std::to_string(id.Size) + " " + std::to_string(id.MtimeSeconds) + " " +
         std::to_string(id.MtimeNanoseconds);
}

bool ReadIdentity(std::istringstream& in, FileIdentity& id) {
  return static_cast<bool>(in >> id.Device >> id.Inode >> id.Size >> id.MtimeSeconds >>
                           id.MtimeNanoseconds);
}

// The numbers of the journals in folder, ascending.
std::vector<long> JournalNumbers(const std::string& folder) {
  std::vector<long> numbers;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return numbers;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string::npos || name.substr(dot) != Suffix) continue;
    if (!std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(dot),
                     [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    numbers.push_back(std::stol(name.substr(0, dot)));
  }
  ::closedir(dir);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::string JournalName(long number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 8) digits.insert(0, 8 - digits.size(), '0');
  return digits + Suffix;
}

void AppendLine(const std::string& file, const std::string& line) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  WriteAll(fd, line + "\n");
  ::close(fd);
}

}  // namespace

std::string JournalFolder() {
  const std::string state = XdgBaseFolder("XDG_STATE_HOME", "/.local/state");
  return state.empty() ? std::string() : JoinPath(state, "tarvex");
}

CommandJournal::CommandJournal(std::string folder, std::string caption)
    : folder_(std::move(folder)), caption_(std::move(caption)), time_(LocalTimeNowText()) {}

CommandJournal::~CommandJournal() {
  if (fd_ >= 0) ::close(fd_);
}

void CommandJournal::SetRoots(const PerSide<RootFolder>& roots) {
  for (const Side side : BothSides) {
    if (!roots[side].IsOpen()) continue;
    roots_[side].Path = roots[side].Path();
    roots_[side].Identity = roots[side].Identity();
  }
}

std::optional<Side> CommandJournal::SideOf(const RootFolder& root) const {
  for (const Side side : BothSides) {
    if (roots_[side].Identity.Known && roots_[side].Identity == root.Identity()) return side;
  }
  return std::nullopt;
}

void CommandJournal::Append(const std::string& line) {
  if (writeFailed_) return;
  if (fd_ < 0) {
    // The next number after the newest; made exclusively, so two windows never share a file.
    if (folder_.empty() || !MakeFolders(folder_)) {
      writeFailed_ = true;
      return;
    }
    const std::vector<long> numbers = JournalNumbers(folder_);
    long next = numbers.empty() ? 1 : numbers.back() + 1;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt, ++next) {
      const std::string path = JoinPath(folder_, JournalName(next));
      fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC,
                   0600);
      if (fd_ >= 0)
        file_ = path;
      else if (errno != EEXIST)
        break;
    }
    if (fd_ < 0) {
      writeFailed_ = true;
      return;
    }
    std::string header =
        std::string(Magic) + "\ncaption " + PercentEncoded(caption_) + "\ntime " + time_ + "\n";
    for (const Side side : BothSides) {
      const JournalRoot& root = roots_[side];
      if (!root.Identity.Known) continue;
      header += std::string("root ") + SideWord(side) + " " + std::to_string(root.Identity.Device) +
                " " + std::to_string(root.Identity.Inode) + " " + PercentEncoded(root.Path) + "\n";
    }
    if (!WriteAll(fd_, header)) writeFailed_ = true;
    // Older journals than the kept ones go; they are ours, not the user's files.
    const std::vector<long> now = JournalNumbers(folder_);
    for (std::size_t i = 0; i + KeptJournals < now.size(); ++i) {
      ::unlink(JoinPath(folder_, JournalName(now[i])).c_str());
    }
  }
  // One write per line: a kill leaves whole lines (or one cut line, which the reader skips).
  if (!writeFailed_ && !WriteAll(fd_, line + "\n")) writeFailed_ = true;
}

void CommandJournal::FileTrashed(const RootFolder& root, std::string_view relative,
                                 const TrashedItem& trashed) {
  const std::optional<Side> side = SideOf(root);
  TrashLocation where;
  if (!side || !LocateTrashed(trashed, where)) {
    writeFailed_ = true;
    return;
  }
  Append(std::string("trashed ") + SideWord(*side) + " " + PercentEncoded(relative) + " " +
         PercentEncoded(where.FilesFolder) + " " + PercentEncoded(where.InfoFolder) + " " +
         PercentEncoded(where.Name) + " " + IdentityFields(where.Identity));
}

void CommandJournal::FileCreated(const RootFolder& root, std::string_view relative,
                                 const FileIdentity& identity) {
  const std::optional<Side> side = SideOf(root);
  if (!side) {
    writeFailed_ = true;
    return;
  }
  Append(std::string("created ") + SideWord(*side) + " " + PercentEncoded(relative) + " " +
         IdentityFields(identity));
}

void CommandJournal::FolderCreated(const RootFolder& root, std::string_view relative) {
  const std::optional<Side> side = SideOf(root);
  if (!side) {
    writeFailed_ = true;
    return;
  }
  Append(std::string("folder ") + SideWord(*side) + " " + PercentEncoded(relative));
}

bool ReadJournal(const std::string& path, JournalRecord& record) {
  std::ifstream file(path, std::ios::binary);
  std::string line;
  if (!file || !std::getline(file, line) || line != Magic) return false;
  record = JournalRecord();
  record.File = path;
  std::vector<std::size_t> undone;
  while (std::getline(file, line)) {
    std::istringstream in(line);
    std::string keyword;
    std::string word;
    std::string relative;
    in >> keyword;
    if (keyword == "caption" && in >> word) {
      record.Caption = PercentDecoded(word).value_or("");
    } else if (keyword == "time" && in >> word) {
      record.Time = word;
    } else if (keyword == "root") {
      JournalRoot root;
      if (!(in >> word >> root.Identity.Device >> root.Identity.Inode >> relative)) continue;
      const std::optional<Side> side = SideFromWord(word);
      const std::optional<std::string> decoded = PercentDecoded(relative);
      if (!side || !decoded) continue;
      root.Path = *decoded;
      root.Identity.Known = true;
      record.Roots[*side] = root;
    } else if (keyword == "trashed" || keyword == "created" || keyword == "folder") {
      JournalEntry entry;
      if (!(in >> word >> relative)) continue;
      const std::optional<Side> side = SideFromWord(word);
      const std::optional<std::string> decoded = PercentDecoded(relative);
      if (!side || !decoded || !IsRelativeBelowRoot(*decoded) || decoded->empty()) continue;
      entry.Where = *side;
      entry.Relative = *decoded;
      if (keyword == "trashed") {
        entry.Action = JournalAction::Trashed;
        std::string files, info, name;
        if (!(in >> files >> info >> name) || !ReadIdentity(in, entry.Trash.Identity)) continue;
        const auto f = PercentDecoded(files), i = PercentDecoded(info), n = PercentDecoded(name);
        if (!f || !i || !n || n->empty() || n->find('/') != std::string::npos) continue;
        // Only ever out of a trash: its "files" folder, with "info" beside it.
        if (!f->ends_with("/files") || *i != f->substr(0, f->size() - 5) + "info") continue;
        entry.Trash.FilesFolder = *f;
        entry.Trash.InfoFolder = *i;
        entry.Trash.Name = *n;
      } else if (keyword == "created") {
        entry.Action = JournalAction::Created;
        if (!ReadIdentity(in, entry.Identity)) continue;
      } else {
        entry.Action = JournalAction::Folder;
      }
      record.Entries.push_back(std::move(entry));
    } else if (keyword == "undone") {
      std::size_t index = 0;
      if (in >> index) undone.push_back(index);
    } else if (keyword == "finished") {
      record.Finished = true;
    }
  }
  record.Undone.assign(record.Entries.size(), false);
  for (const std::size_t index : undone) {
    if (index < record.Undone.size()) record.Undone[index] = true;
  }
  return true;
}

std::optional<JournalRecord> LastUndoableJournal(const std::string& folder) {
  const std::vector<long> numbers = JournalNumbers(folder);
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    JournalRecord record;
    if (!ReadJournal(JoinPath(folder, JournalName(*it)), record)) continue;
    if (record.Finished || record.Entries.empty()) continue;
    return record;
  }
  return std::nullopt;
}

void MarkEntryUndone(const JournalRecord& record, std::size_t index) {
  AppendLine(record.File, "undone " + std::to_string(index));
}

void MarkJournalFinished(const JournalRecord& record) { AppendLine(record.File, "finished"); }

}  // namespace tarvex
