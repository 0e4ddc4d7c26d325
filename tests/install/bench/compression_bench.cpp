// Benchmark, not a test: what carrying a plug-in compressed costs at install time,
// against carrying it stored. Runs two installers that carry the same 64 MB plug-in
// (real DLLs put together), one compressed and one stored, each installing it with
// /S into a fresh folder (best of RUNS), and prints the install times, the
// installers' peak working sets (GetProcessMemoryInfo, sampled while each runs: a
// process that has ended reports none under Wine) and their ratios. Goals: the time
// within 2x of the stored case, the peak working set within 2 MB of it.
//
//   compression_bench COMPRESSED.exe STORED.exe FOLDER
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include <string>

namespace {

constexpr int RUNS = 3;

struct Measure {
  double seconds;
  SIZE_T peak;  // bytes
  DWORD exit_code;
};

// One unattended install into `folder`; polls the memory counters until it ends.
Measure install_once(const char* installer, const std::string& folder) {
  Measure measure = {0, 0, 1};
  std::string command = std::string("\"") + installer + "\" /S /ARCH=x64 /D=" + folder;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return measure;
  while (WaitForSingleObject(started.hProcess, 1) == WAIT_TIMEOUT) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(started.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > measure.peak)
      measure.peak = counters.PeakWorkingSetSize;
  }
  QueryPerformanceCounter(&end);
  GetExitCodeProcess(started.hProcess, &measure.exit_code);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  measure.seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  return measure;
}

void remove_folder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
  }
  RemoveDirectoryA(folder.c_str());
}

// The best of RUNS installs, each into an empty folder: the shortest time, the lowest peak.
Measure best_of(const char* installer, const std::string& folder) {
  Measure best = {1e9, ~static_cast<SIZE_T>(0), 0};
  for (int run = 0; run < RUNS; ++run) {
    remove_folder(folder);
    Measure measure = install_once(installer, folder);
    if (measure.exit_code != 0) {
      printf("%s ended with exit code %lu\n", installer, measure.exit_code);
      best.exit_code = measure.exit_code;
    }
    if (measure.seconds < best.seconds) best.seconds = measure.seconds;
    if (measure.peak < best.peak) best.peak = measure.peak;
  }
  remove_folder(folder);
  return best;
}

LONGLONG file_size(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: compression_bench COMPRESSED.exe STORED.exe FOLDER\n");
    return 2;
  }
  std::string folder = argv[3];
  printf("installers: compressed %lld bytes, stored %lld bytes (%.1f%%)\n", file_size(argv[1]), file_size(argv[2]),
         100.0 * static_cast<double>(file_size(argv[1])) / static_cast<double>(file_size(argv[2])));
  Measure stored = best_of(argv[2], folder);
  Measure compressed = best_of(argv[1], folder);
  const double mb = 1024.0 * 1024.0;
  printf("install time, best of %d: compressed %.3f s, stored %.3f s: ratio %.2f (goal: at most 2)\n", RUNS,
         compressed.seconds, stored.seconds, compressed.seconds / stored.seconds);
  printf("peak working set: compressed %.1f MB, stored %.1f MB: ratio %.2f, difference %+.1f MB (goal: at most +2 MB)\n",
         static_cast<double>(compressed.peak) / mb, static_cast<double>(stored.peak) / mb,
         static_cast<double>(compressed.peak) / static_cast<double>(stored.peak),
         (static_cast<double>(compressed.peak) - static_cast<double>(stored.peak)) / mb);
  return compressed.exit_code || stored.exit_code ? 1 : 0;
}
