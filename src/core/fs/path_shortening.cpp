#include "core/fs/path_shortening.h"

namespace tarvex {
namespace {

constexpr std::string_view Marker = ".../";
constexpr std::string_view RootMarker = "/.../";

}  // namespace

std::string DropFirstFolder(std::string_view folder) {
  if (folder == "/") return {};
  const bool rooted = !folder.empty() && folder.front() == '/';
  if (rooted) folder.remove_prefix(1);
  // Only the marker of an earlier step is taken off here; a folder name that merely begins with a
  // dot (".config") is an ordinary folder and is dropped whole below.
  if (folder.substr(0, Marker.size()) == Marker) folder.remove_prefix(Marker.size());
  std::string result;
  const std::size_t slash = folder.find('/');
  if (slash != std::string_view::npos) {
    result.reserve(Marker.size() + folder.size() - slash);
    result.append(Marker);
    result.append(folder.substr(slash + 1));
  }
  if (rooted) result.insert(result.begin(), '/');
  return result;
}

std::string ShortenPathToWidth(std::string_view path, int maxWidth,
                               const TextWidthMeasure& measure) {
  // A ":" is an ordinary character of a name here, so there is no drive part to keep.
  const std::size_t slash = path.rfind('/');
  std::string folder(slash == std::string_view::npos ? std::string_view{}
                                                     : path.substr(0, slash + 1));
  const std::string_view name = path.substr(folder.size());
  std::string result(path);
  while (!folder.empty() && measure(result) > maxWidth) {
    folder = folder == RootMarker ? std::string(Marker) : DropFirstFolder(folder);
    result = folder;
    result.append(name);
  }
  return result;
}

}  // namespace tarvex
