// Small file-system questions in Win32 terms, UTF-8 paths.
#pragma once
#include <string>
#include <vector>

namespace orvela {

bool FileExists(const std::string& path);    // an existing file (not a folder)
bool FolderExists(const std::string& path);  // an existing folder
bool PathExists(const std::string& path);    // either
// Creates the folder with every missing parent; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);
// Names of the sub-folders of a folder (path ending in a backslash), in the order the file
// system gives them; "." and ".." left out. A folder that cannot be searched gives none.
std::vector<std::string> ListSubfolders(const std::string& folder);
// The folder of the running executable, ending in a backslash.
std::string ExecutableFolder();

}  // namespace orvela
