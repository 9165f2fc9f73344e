#pragma once
// The attribute word of a directory entry, as the scan mask sees it.

#include <cstdint>

namespace tarvex {

inline constexpr std::uint32_t AttrReadOnly = 1;
inline constexpr std::uint32_t AttrDirectory = 16;
inline constexpr std::uint32_t AttrArchive = 32;
inline constexpr std::uint32_t AttrNormal = 128;
// Symbolic links, sockets, FIFOs and devices: outside every scan mask, so never listed.
inline constexpr std::uint32_t AttrSpecial = 1024;
inline constexpr std::uint32_t DefaultScanAttrMask = 49;

inline bool IsFolder(std::uint32_t attr) { return (attr & AttrDirectory) != 0; }

}  // namespace tarvex
