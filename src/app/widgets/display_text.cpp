#include "app/widgets/display_text.h"

#include "core/text/display_path.h"
#include "core/text/text_encoding.h"

namespace tarvex {

QString ShownText(const std::string& bytes) { return QString::fromStdString(DisplayText(bytes)); }

QString ShownPath(const std::string& bytes) { return QString::fromStdString(DisplayPath(bytes)); }

}  // namespace tarvex
