#include "core/fs/trash.h"

#include <gio/gio.h>

#include <cerrno>

namespace tarvex {
namespace {

int ErrnoFromGio(const GError* error) {
  if (error == nullptr || error->domain != G_IO_ERROR) return EIO;
  switch (error->code) {
    case G_IO_ERROR_NOT_FOUND:
      return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED:
      return EACCES;
    case G_IO_ERROR_NOT_SUPPORTED:
      return ENOTSUP;
    case G_IO_ERROR_NO_SPACE:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

FileResult RecycleFile(const std::string& path) {
  // A NUL inside the text would make GIO act on a shorter, different path, and a relative path
  // on a file of the current folder.
  if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) {
    return FileResult::Failure(FileStep::Trash, EINVAL,
                               "ごみ箱へ移せません: パスが正しくありません");
  }
  // GIO takes the raw bytes, so names that are not valid UTF-8 reach the file.
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  const bool trashed = g_file_trash(file, nullptr, &error) != FALSE;
  g_object_unref(file);
  if (trashed) return FileResult::Success();
  std::string reason = "ごみ箱へ移せません";
  if (error != nullptr && error->message != nullptr) reason += std::string(": ") + error->message;
  const int code = ErrnoFromGio(error);
  g_clear_error(&error);
  return FileResult::Failure(FileStep::Trash, code, std::move(reason));
}

}  // namespace tarvex
