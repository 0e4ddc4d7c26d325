// Benchmark, not a test: how much the registry scan pays for opening and closing its
// key for every single value and subkey, against a walk that holds each key open.
//
// Seeds HKEY_CURRENT_USER\software\adobe\photoshop with 2,021 keys and 20,211 values,
// times the Photoshop row of the probe table (best of five runs) and a minimal
// held-handle walk that enumerates every value once, prints both and their ratio, and
// removes the keys again. Refuses to run when software\adobe already exists.
#include <stdio.h>
#include <windows.h>

#include "candidate_list.h"
#include "registry_scan.h"

namespace {

constexpr char VENDOR_KEY[] = "software\\adobe";
constexpr char HOST_KEY[] = "software\\adobe\\photoshop";
constexpr int VALUES_PER_KEY = 10;
constexpr int RUNS = 5;

int seeded_keys = 0;
int seeded_values = 0;

void seed_key(const char* path, int serial) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  ++seeded_keys;
  for (int i = 0; i < VALUES_PER_KEY; ++i) {
    char name[32];
    char data[64];
    wsprintfA(name, "setting %d", i);
    wsprintfA(data, "filter option %d of key %d", i, serial);
    if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), lstrlenA(data) + 1) ==
        ERROR_SUCCESS)
      ++seeded_values;
  }
  RegCloseKey(key);
}

// 1 + 20 + 200 + 1,800 keys of 10 values each, and one plug-in folder value.
void seed_subtree() {
  char path[PATH_CAPACITY];
  int serial = 0;
  seed_key(HOST_KEY, serial++);
  for (int a = 0; a < 20; ++a) {
    wsprintfA(path, "%s\\version %d", HOST_KEY, a);
    seed_key(path, serial++);
    for (int b = 0; b < 10; ++b) {
      wsprintfA(path, "%s\\version %d\\panel %d", HOST_KEY, a, b);
      seed_key(path, serial++);
      for (int c = 0; c < 9; ++c) {
        wsprintfA(path, "%s\\version %d\\panel %d\\item %d", HOST_KEY, a, b, c);
        seed_key(path, serial++);
      }
    }
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, HOST_KEY, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
    const char folder[] = "C:\\windows";
    RegSetValueExA(key, "plugin folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof folder);
    RegCloseKey(key);
    ++seeded_values;
  }
}

// The minimal walk: each key opened once and held while its values and subkeys are
// enumerated. Returns the number of values seen.
int held_handle_walk(HKEY parent, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  int values = 0;
  char value_name[PATH_CAPACITY];
  char data[PATH_CAPACITY];
  for (DWORD i = 0;; ++i) {
    DWORD name_size = 256;
    DWORD data_size = 256;
    DWORD type = 0;
    if (RegEnumValueA(key, i, value_name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size) !=
        ERROR_SUCCESS)
      break;
    ++values;
  }
  char subkey[PATH_CAPACITY];
  for (DWORD i = 0;; ++i) {
    DWORD name_size = 256;
    if (RegEnumKeyExA(key, i, subkey, &name_size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values += held_handle_walk(key, subkey);
  }
  RegCloseKey(key);
  return values;
}

double seconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Run>
double best_of(Run run) {
  double best = 1e30;
  for (int i = 0; i < RUNS; ++i) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    run();
    double elapsed = seconds_since(start);
    if (elapsed < best) best = elapsed;
  }
  return best;
}

}  // namespace

int main() {
  HKEY existing = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, VENDOR_KEY, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
    printf("HKEY_CURRENT_USER\\%s exists already; not touching it.\n", VENDOR_KEY);
    return 1;
  }
  seed_subtree();
  printf("seeded %d keys, %d values under HKEY_CURRENT_USER\\%s\n", seeded_keys, seeded_values, HOST_KEY);

  double scan = best_of([] {
    reset_candidate_list();
    const ProbeFindings none = {0, nullptr, ARCH_UNKNOWN, 0, 0};
    scan_vendor_registry("software", "adobe", "photoshop", nullptr, nullptr, none);
  });
  int found = candidate_count();
  int walked = 0;
  double walk = best_of([&walked] { walked = held_handle_walk(HKEY_CURRENT_USER, HOST_KEY); });

  printf("row 2 scan (open and close per call): %8.1f ms, %d folder(s) found\n", scan * 1000, found);
  printf("held-handle walk:                     %8.1f ms, %d values seen\n", walk * 1000, walked);
  printf("ratio scan / walk: %.1f\n", walk > 0 ? scan / walk : 0.0);

  RegDeleteTreeA(HKEY_CURRENT_USER, VENDOR_KEY);
  return found == 1 && walked == seeded_values ? 0 : 2;
}
