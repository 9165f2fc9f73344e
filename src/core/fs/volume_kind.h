#pragma once
// Whether a folder lies on a FAT or exFAT volume, whose file times are local time in 2-second
// steps and move by an hour across summer time or a change of time zone.

#include <string>
#include <string_view>

namespace tarvex {

// True for the file system types of FAT and exFAT as the kernel and FUSE name them: "vfat",
// "msdos", "exfat", and FUSE types whose subtype is one of those or a FAT driver ("fuseblk.exfat",
// "fuse.fusefat").
bool IsFatFileSystemType(std::string_view type);

// The file system type that /proc/self/mountinfo text gives for the device major:minor (the
// field after " - ", with a FUSE subtype as "fuse.subtype"); empty when no line has it.
std::string MountTypeOf(std::string_view mountinfo, unsigned major, unsigned minor);

// True when folder is on FAT or exFAT (by statfs, and for FUSE by the mount table).
bool IsOnFatVolume(const std::string& folder);

}  // namespace tarvex
