#pragma once
// Fitting a path into a label by replacing its leading folders with ".../".

#include <functional>
#include <string>
#include <string_view>

namespace tarvex {

// The drawn width of a text in whatever font the caller shows it in.
using TextWidthMeasure = std::function<int(std::string_view text)>;

// Drops leading folders of path, one per step, each step's result measured as a whole, until it
// measures at most maxWidth or only the name is left:
// "/home/foo/Documents/file.txt", "/.../foo/Documents/file.txt", "/.../Documents/file.txt",
// "/.../file.txt", ".../file.txt", "file.txt". The name itself is never cut, so the result may
// still be wider than maxWidth. Only "/" bytes are cut at, so a multi-byte character stays whole.
std::string ShortenPathToWidth(std::string_view path, int maxWidth,
                               const TextWidthMeasure& measure);

// One step of that shortening on a folder text that ends with "/": "/a/b/" gives "/.../b/",
// "/.../b/" gives "/.../", "/" and ".../" give "".
std::string DropFirstFolder(std::string_view folder);

}  // namespace tarvex
