#pragma once
// Small POSIX file helpers of the installer library. Each returns 0 or a negated errno value.
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

int ReadWholeFile(const std::string& path, std::string* bytes);

// Writes bytes to a new file beside path and renames it over path, so readers never see half a
// file. The new file gets exactly `mode`. A symbolic link at path is followed, not replaced.
int ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode);

// Creates the missing folders of the absolute path dir from the top down, appending each folder
// it made to `created`; on failure it removes those again.
int MakeFolders(const std::string& dir, mode_t mode, std::vector<std::string>* created);

// Removes the given folders, last first, as long as they are empty.
void RemoveFolders(const std::vector<std::string>& created);

std::string ParentOf(const std::string& path);

}  // namespace ostrelink
