#include "registry_seed.h"

#include <gtest/gtest.h>

namespace {

// Keys are opened through the wide API: Wine's narrow registry calls refuse key paths
// of more than 260 characters, and the tests seed longer ones.
std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

bool key_exists(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

RegistrySeed::~RegistrySeed() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    // The key is opened in its view, emptied through the handle, then deleted itself.
    HKEY handle = nullptr;
    EXPECT_EQ(RegOpenKeyExW(it->first, wide(it->second).c_str(), 0, KEY_ALL_ACCESS | view_, &handle), ERROR_SUCCESS)
        << it->second;
    EXPECT_EQ(RegDeleteTreeW(handle, nullptr), ERROR_SUCCESS) << it->second;
    RegCloseKey(handle);
    EXPECT_EQ(RegDeleteKeyExW(it->first, wide(it->second).c_str(), view_, 0), ERROR_SUCCESS) << it->second;
    EXPECT_FALSE(key_exists(it->first, it->second, view_)) << it->second;
  }
}

void RegistrySeed::key(HKEY root, const std::string& key) {
  for (size_t i = 0; i <= key.size(); ++i) {
    if (i != key.size() && key[i] != '\\') continue;
    std::string upper = key.substr(0, i);
    if (!key_exists(root, upper, view_)) {
      created_.emplace_back(root, upper);
      break;
    }
  }
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE | view_, nullptr, &handle, nullptr),
            ERROR_SUCCESS)
      << key;
  RegCloseKey(handle);
}

void RegistrySeed::sz(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
  raw(root, key, name, REG_SZ, std::string(data.c_str(), data.size() + 1));
}

void RegistrySeed::raw(HKEY root, const std::string& key, const std::string& name, DWORD type,
                       const std::string& bytes) {
  this->key(root, key);
  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_WRITE | view_, &handle), ERROR_SUCCESS) << key;
  // The registry adds a terminator to string data when the byte after it is NUL (NT
  // does this for callers that forgot to count it); a guard byte keeps the data exact.
  std::string guarded = bytes + '\x7f';
  EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS)
      << key << " " << name;
  RegCloseKey(handle);
}
