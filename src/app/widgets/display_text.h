#pragma once
// Bytes as the file system or the settings hold them, as a widget shows them: UTF-8, else CP932.
// For display only; the bytes themselves are what reach the file system.

#include <QString>
#include <string>

namespace tarvex {

QString ShownText(const std::string& bytes);
// A path: each name decoded on its own, control characters as their pictures (DisplayPath).
QString ShownPath(const std::string& bytes);

}  // namespace tarvex
