#pragma once
// The printf-like formatting of log lines: "%s" takes a text, "%d" an integer, "%%" is a percent
// sign. Arguments are typed at compile time (a LogArg is built only from a text or an integer);
// a directive that does not match its argument, a missing argument or an unknown directive throws
// std::invalid_argument, which reaches the general error reporting. Extra arguments are ignored.

#include <QString>
#include <QStringView>
#include <concepts>
#include <span>
#include <type_traits>
#include <variant>

namespace tarvex {

class LogArg {
 public:
  LogArg(const QString& text) : value_(text) {}
  LogArg(QStringView text) : value_(text.toString()) {}
  LogArg(const char16_t* text) : value_(QString::fromUtf16(text)) {}
  LogArg(const char* utf8) : value_(QString::fromUtf8(utf8)) {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t>)
      LogArg(T number)
      : value_(static_cast<qlonglong>(number)) {}

  bool IsText() const { return std::holds_alternative<QString>(value_); }
  const QString& Text() const { return std::get<QString>(value_); }
  qlonglong Number() const { return std::get<qlonglong>(value_); }

 private:
  std::variant<QString, qlonglong> value_;
};

QString FormatLogText(QStringView format, std::span<const LogArg> args);

}  // namespace tarvex
