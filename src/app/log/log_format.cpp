#include "app/log/log_format.h"

#include <stdexcept>

namespace tarvex {

namespace {

[[noreturn]] void ThrowFormatError(QStringView format) {
  throw std::invalid_argument(
      (QStringLiteral("書式と引数が合いません: ") + format.toString()).toStdString());
}

}  // namespace

QString FormatLogText(QStringView format, std::span<const LogArg> args) {
  QString out;
  out.reserve(format.size() + 32);
  std::size_t next = 0;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (c != QLatin1Char('%')) {
      out += c;
      continue;
    }
    if (++i >= format.size()) ThrowFormatError(format);
    const QChar directive = format[i];
    if (directive == QLatin1Char('%')) {
      out += directive;
      continue;
    }
    if (next >= args.size()) ThrowFormatError(format);
    const LogArg& arg = args[next++];
    if (directive == QLatin1Char('s') && arg.IsText()) {
      out += arg.Text();
    } else if (directive == QLatin1Char('d') && !arg.IsText()) {
      out += QString::number(arg.Number());
    } else {
      ThrowFormatError(format);
    }
  }
  return out;
}

}  // namespace tarvex
