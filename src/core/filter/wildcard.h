#pragma once
// Wildcard patterns of file names: "*", "?", sets "[a-c]" and "[!x]", anchored at both ends.
// Texts are byte strings; a valid UTF-8 multi-byte sequence counts as one character.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// An invalid pattern. The message is the user-facing text with the 1-based byte position and the
// pattern filled in.
class MaskError : public std::runtime_error {
 public:
  MaskError(std::string pattern, int position);
  const std::string& Pattern() const { return pattern_; }
  int Position() const { return position_; }

 private:
  std::string pattern_;
  int position_;
};

// A pattern parsed once; matching it does not allocate.
class WildcardPattern {
 public:
  // Never throws: an invalid pattern remembers its error and Matches() throws it.
  explicit WildcardPattern(std::string_view pattern);

  bool IsValid() const { return errorPosition_ == 0; }
  // Whether the whole text matches; throws MaskError when the pattern is invalid.
  bool Matches(std::string_view text) const;

 private:
  enum class StepKind : std::uint8_t { Literal, AnyChar, Set, Star };
  struct Step {
    StepKind kind;
    bool negated;          // Set only
    std::uint32_t offset;  // Literal: first byte in bytes_; Set: first of 32 bytes in sets_
    std::uint32_t length;  // Literal: byte count
  };

  void Parse();
  bool MatchStep(const Step& step, std::string_view text, std::size_t& pos) const;

  std::string pattern_;
  std::vector<Step> steps_;
  std::string bytes_;
  std::vector<std::uint8_t> sets_;
  int errorPosition_ = 0;
};

// Whether the whole text matches the pattern; throws MaskError for an invalid pattern.
bool MatchesPattern(std::string_view text, std::string_view pattern);

}  // namespace tarvex
