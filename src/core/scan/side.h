#pragma once
// The two sides of a folder pair, so that what is done to either side is written once.

#include <array>

namespace tarvex {

enum class Side { Main, Sub };

inline constexpr std::array<Side, 2> BothSides = {Side::Main, Side::Sub};

constexpr Side OtherSide(Side side) { return side == Side::Main ? Side::Sub : Side::Main; }

// One value for each side, reached by its Side.
template <typename T>
struct PerSide {
  T Main{};
  T Sub{};

  T& operator[](Side side) { return side == Side::Main ? Main : Sub; }
  const T& operator[](Side side) const { return side == Side::Main ? Main : Sub; }
};

}  // namespace tarvex
