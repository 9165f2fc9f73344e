#include "core/report/gio_file_opener.h"

#include <gio/gio.h>

#include <stdexcept>

#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

void GioFileOpener::Open(const std::string& path) {
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
  bool launched = false;
  if (uri != nullptr) {
    launched = g_app_info_launch_default_for_uri(uri, nullptr, &error) != FALSE;
    g_free(uri);
  }
  if (launched) return;
  std::string reason = error != nullptr ? error->message : "";
  if (error != nullptr) g_error_free(error);
  throw std::runtime_error(
      FormatText("一覧を保存しましたが、開けるアプリケーションがありません。\n%s\n%s",
                 DisplayPath(path).c_str(), reason.c_str()));
}

}  // namespace tarvex
