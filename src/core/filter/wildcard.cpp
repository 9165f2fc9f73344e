#include "core/filter/wildcard.h"

#include <algorithm>

#include "core/text/utf8.h"

namespace tarvex {

namespace {

constexpr int MaxStarSteps = 30;

std::string MaskErrorText(const std::string& pattern, int position) {
  return std::to_string(position) + " 番目の文字（'" + pattern + "'）は正しくないマスク文字です";
}

unsigned char Upper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

MaskError::MaskError(std::string pattern, int position)
    : std::runtime_error(MaskErrorText(pattern, position)),
      pattern_(std::move(pattern)),
      position_(position) {}

WildcardPattern::WildcardPattern(std::string_view pattern) : pattern_(pattern) { Parse(); }

void WildcardPattern::Parse() {
  const std::string& p = pattern_;
  const std::size_t n = p.size();
  std::size_t i = 0;
  bool star = false;
  int starSteps = 0;
  int starGroupStart = 0;
  auto fail = [this](std::size_t position0) {
    errorPosition_ = static_cast<int>(position0) + 1;
    steps_.clear();
  };
  while (i < n) {
    const char c = p[i];
    if (c == '*') {
      if (!star) starGroupStart = static_cast<int>(i);
      star = true;
      ++i;
      // "**" is one group, and a "?" directly after a "*" is dropped.
      while (i < n && (p[i] == '*' || (p[i] == '?' && p[i - 1] == '*'))) ++i;
      continue;
    }
    if (star) {
      if (++starSteps > MaxStarSteps) return fail(static_cast<std::size_t>(starGroupStart));
      steps_.push_back(Step{StepKind::Star, false, 0, 0});
      star = false;
    }
    Step step{StepKind::Literal, false, 0, 0};
    if (c == '?') {
      step.kind = StepKind::AnyChar;
      ++i;
    } else if (c == '[') {
      step.kind = StepKind::Set;
      step.offset = static_cast<std::uint32_t>(sets_.size());
      sets_.resize(sets_.size() + 32, 0);
      auto add = [this, &step](unsigned char b) {
        sets_[step.offset + (b >> 3)] |= static_cast<std::uint8_t>(1u << (b & 7));
      };
      bool any = false;
      ++i;
      if (i < n && p[i] == '!') {
        step.negated = true;
        ++i;
      }
      if (i < n && p[i] == '-') return fail(i);
      for (;;) {
        if (i >= n) return fail(n);
        if (p[i] == ']') break;
        const std::size_t len = Utf8CharLength(p, i);
        if (len > 1) {  // a multi-byte character inside a set adds nothing
          i += len;
          continue;
        }
        const auto from = Upper(static_cast<unsigned char>(p[i]));
        if (i + 2 < n && p[i + 1] == '-' && p[i + 2] != ']' && Utf8CharLength(p, i + 2) == 1) {
          const auto to = Upper(static_cast<unsigned char>(p[i + 2]));
          for (unsigned b = from; b <= to; ++b) add(static_cast<unsigned char>(b));
          any = any || from <= to;
          i += 3;
        } else {
          add(from);
          any = true;
          ++i;
        }
      }
      if (!any) return fail(i);
      ++i;  // the "]"
    } else {
      const std::size_t len = Utf8CharLength(p, i);
      step.offset = static_cast<std::uint32_t>(bytes_.size());
      step.length = static_cast<std::uint32_t>(len);
      bytes_.append(p, i, len);
      i += len;
    }
    steps_.push_back(step);
  }
  if (star) {
    if (++starSteps > MaxStarSteps) return fail(static_cast<std::size_t>(starGroupStart));
    steps_.push_back(Step{StepKind::Star, false, 0, 0});
  }
}

bool WildcardPattern::MatchStep(const Step& step, std::string_view text, std::size_t& pos) const {
  if (pos >= text.size()) return false;
  const std::size_t len = Utf8CharLength(text, pos);
  switch (step.kind) {
    case StepKind::Star:
      return false;
    case StepKind::AnyChar:
      pos += len;
      return true;
    case StepKind::Set: {
      bool in = false;
      if (len == 1) {
        const auto b = Upper(static_cast<unsigned char>(text[pos]));
        in = (sets_[step.offset + (b >> 3)] >> (b & 7)) & 1;
      }
      if (in == step.negated) return false;
      pos += len;
      return true;
    }
    case StepKind::Literal: {
      if (len != step.length) return false;
      if (len == 1) {
        if (Upper(static_cast<unsigned char>(text[pos])) !=
            Upper(static_cast<unsigned char>(bytes_[step.offset])))
          return false;
      } else if (text.compare(pos, len, bytes_, step.offset, len) != 0) {
        return false;
      }
      pos += len;
      return true;
    }
  }
  return false;
}

bool WildcardPattern::Matches(std::string_view text) const {
  if (errorPosition_ != 0) throw MaskError(pattern_, errorPosition_);
  // Every step but "*" consumes exactly one character, so going back to the latest "*" is enough.
  const std::size_t m = steps_.size();
  std::size_t s = 0, pos = 0;
  std::size_t starStep = m, starPos = 0;
  while (pos < text.size()) {
    if (s < m && steps_[s].kind == StepKind::Star) {
      starStep = s++;
      starPos = pos;
      continue;
    }
    if (s < m && MatchStep(steps_[s], text, pos)) {
      ++s;
      continue;
    }
    if (starStep == m) return false;
    starPos += Utf8CharLength(text, starPos);
    pos = starPos;
    s = starStep + 1;
  }
  while (s < m && steps_[s].kind == StepKind::Star) ++s;
  return s == m;
}

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  return WildcardPattern(pattern).Matches(text);
}

}  // namespace tarvex
