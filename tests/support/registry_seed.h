// Registry keys and values a test writes, in the view of the build under test, and
// removes again (with everything below them) when it ends.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class RegistrySeed {
public:
  // `view` 0: the build's own registry view; KEY_WOW64_64KEY: the 64-bit one.
  explicit RegistrySeed(REGSAM view = 0) : view_(view) {}
  ~RegistrySeed();
  RegistrySeed(const RegistrySeed&) = delete;
  RegistrySeed& operator=(const RegistrySeed&) = delete;

  // Creates `key` (and the keys above it); the topmost key that did not exist yet is
  // removed at the end.
  void key(HKEY root, const std::string& key);
  // A REG_SZ value stored with its terminator (name "" = the key's default value).
  void sz(HKEY root, const std::string& key, const std::string& name, const std::string& data);
  // A value of any type holding exactly `bytes` (no terminator added).
  void raw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes);

private:
  REGSAM view_;
  std::vector<std::pair<HKEY, std::string>> created_;
};

// 1 when the key exists in the build's own view (or the one `view` names).
bool key_exists(HKEY root, const std::string& key, REGSAM view = 0);
