#include "core/report/gio_file_opener.h"

#include <gio/gio.h>

#include <stdexcept>

#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

namespace {

// A path of a file as its file: address; an address with a scheme as it is; anything else as a
// person typing it into a browser would mean it.
gchar* AddressUri(const std::string& address, GError** error) {
  if (!address.empty() && address.front() == '/') {
    return g_filename_to_uri(address.c_str(), nullptr, error);
  }
  if (const char* scheme = g_uri_peek_scheme(address.c_str()); scheme != nullptr) {
    return g_strdup(address.c_str());
  }
  return g_strconcat("http://", address.c_str(), nullptr);
}

}  // namespace

void GioFileOpener::Open(const std::string& path) {
  GError* error = nullptr;
  gchar* uri = AddressUri(path, &error);
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
