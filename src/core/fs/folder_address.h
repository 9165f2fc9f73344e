#pragma once
// The texts that name a folder from outside the trees: a path typed or pasted into a folder edit,
// a file: address dropped from a file manager, and the file: address handed to one.

#include <string>
#include <string_view>

namespace tarvex {

// The absolute path that text names, as bytes: surrounding blanks and line breaks dropped, "~" or
// "~/..." below home, a file: address ("file:///a%20b", "file://localhost/...") percent-decoded,
// "." and ".." taken by name, doubled and trailing "/" dropped ("/" stays). Empty when text names
// no absolute local path (a relative path, "~user", another host, another scheme).
std::string FolderFromText(std::string_view text, std::string_view home);

// The file: address of an absolute path, every byte outside the unreserved characters and "/"
// percent-encoded, so that a name that is not UTF-8 survives.
std::string FileAddressOf(std::string_view path);

}  // namespace tarvex
