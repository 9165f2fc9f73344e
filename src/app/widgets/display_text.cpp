#include "app/widgets/display_text.h"

#include "core/text/text_encoding.h"

namespace tarvex {

QString ShownText(const std::string& bytes) { return QString::fromStdString(DisplayText(bytes)); }

}  // namespace tarvex
