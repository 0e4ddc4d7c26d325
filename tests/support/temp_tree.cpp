#include "temp_tree.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

std::string unique_root_name() {
  static int serial = 0;
  char name[64];
  wsprintfA(name, "Tt%lu_%d", GetCurrentProcessId(), ++serial);
  return name;
}

void make_folders(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

}  // namespace

TempTree::TempTree(const char* parent) {
  std::string base = parent;
  if (base.back() != '\\') base += '\\';
  root_ = base + unique_root_name();
  make_folders(root_);
}

TempTree::~TempTree() {
  // Admitting a candidate enters folders; a current directory inside the tree
  // would keep it from being removed.
  SetCurrentDirectoryA("C:\\");
  remove_tree(root_);
}

std::string TempTree::path(const std::string& relative) const { return root_ + "\\" + relative; }

std::string TempTree::make_folder(const std::string& relative) const {
  std::string full = path(relative);
  make_folders(full);
  return full;
}

std::string TempTree::write_file(const std::string& relative, const std::string& bytes) const {
  std::string full = path(relative);
  make_folders(full.substr(0, full.rfind('\\')));
  HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  return full;
}

std::string read_file(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bool file_exists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void remove_tree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE listing = FindFirstFileA((path + "\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = path + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

std::string list_folder(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE listing = FindFirstFileA((path + "\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
  }
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : "|") + name;
  return joined;
}
