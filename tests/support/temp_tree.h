// A folder tree of a test's own, created under a fresh folder and removed with
// everything in it (read-only files included) when the test ends.
#pragma once
#include <string>

class TempTree {
public:
  // `parent` is where the tree's root folder is made: "C:\" by default, so paths
  // stay short and predictable. The root's name is unique to the process and call.
  explicit TempTree(const char* parent = "C:\\");
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root folder, without a trailing "\".
  const std::string& root() const { return root_; }
  // root + "\" + relative.
  std::string path(const std::string& relative) const;
  // Creates the folder `relative` and every folder above it; returns its full path.
  std::string make_folder(const std::string& relative) const;
  // Writes a file (folders above it are created); returns its full path.
  std::string write_file(const std::string& relative, const std::string& bytes) const;

private:
  std::string root_;
};

// Reads a whole file; empty when it cannot be opened.
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
// Removes a folder and everything below it.
void remove_tree(const std::string& path);
// Names of the entries of a folder, sorted, without "." and "..".
std::string list_folder(const std::string& path);
