// Benchmark, not a test: our installer against the peer's, carrying the same fourteen
// DLLs (seven, each in its x86 and its x64 build). Runs our installer with its
// compressed stream, the same one with every file stored, and the peer's installer
// (NSIS, SetCompressor /SOLID lzma), each installing the x86 set with /S into a fresh
// folder RUNS times, and ours once more writing nothing (/ARCH=arm64: exit code 5).
// Prints the installers' sizes, the median install times and peak working sets
// (GetProcessMemoryInfo, sampled while each runs: a process that has ended reports
// none under Wine) and their ratios, against the goals: at most 0.92 of the peer's
// size, at most its time, and a peak working set at most that of writing nothing plus
// the dictionary (the stream's decoded bytes), the compressed bytes and 2 MB.
//
//   compression_bench OURS.exe STORED.exe PEER.exe FOLDER
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int RUNS = 5;
constexpr WORD STREAM_TYPE = 3003;  // resources/payload_types.h

struct Measure {
  double seconds;
  SIZE_T peak;  // bytes
  DWORD exit_code;
  int files;  // written into the folder
};

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

int count_files(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE listing = FindFirstFileA((folder + "\\*.8bf").c_str(), &found);
  int count = 0;
  if (listing != INVALID_HANDLE_VALUE) {
    do ++count;
    while (FindNextFileA(listing, &found));
    FindClose(listing);
  }
  return count;
}

// One run of `command` (its folder emptied first); polls the memory counters until it ends.
Measure run_once(std::string command, const std::string& folder) {
  remove_folder(folder);
  Measure measure = {0, 0, 1, 0};
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
  measure.files = count_files(folder);
  return measure;
}

// The median time and the median peak of RUNS runs; the exit code and files of the last.
Measure median_of(const std::string& command, const std::string& folder) {
  std::vector<double> times;
  std::vector<SIZE_T> peaks;
  Measure last = {};
  for (int run = 0; run < RUNS; ++run) {
    last = run_once(command, folder);
    times.push_back(last.seconds);
    peaks.push_back(last.peak);
  }
  remove_folder(folder);
  std::sort(times.begin(), times.end());
  std::sort(peaks.begin(), peaks.end());
  last.seconds = times[RUNS / 2];
  last.peak = peaks[RUNS / 2];
  return last;
}

LONGLONG file_size(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The stream's decoded and compressed lengths, from its header (words 3 and 4).
bool stream_lengths(const char* installer, DWORD* decoded, DWORD* compressed) {
  HMODULE module = LoadLibraryExA(installer, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(STREAM_TYPE)) : nullptr;
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const DWORD* header = loaded ? static_cast<const DWORD*>(LockResource(loaded)) : nullptr;
  if (header) {
    *decoded = header[3];
    *compressed = header[4];
  }
  if (module) FreeLibrary(module);
  return header != nullptr;
}

void report(const char* label, const Measure& measure, int files) {
  const double mb = 1024.0 * 1024.0;
  printf("  %-28s %.3f s, peak working set %.1f MB, exit code %lu, %d file(s)%s\n", label, measure.seconds,
         static_cast<double>(measure.peak) / mb, measure.exit_code, measure.files,
         measure.files == files ? "" : "  <- not the x86 set");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: compression_bench OURS.exe STORED.exe PEER.exe FOLDER\n");
    return 2;
  }
  const char *ours = argv[1], *stored = argv[2], *peer = argv[3];
  std::string folder = argv[4];
  const double mb = 1024.0 * 1024.0;
  DWORD decoded = 0, compressed = 0;
  if (!stream_lengths(ours, &decoded, &compressed)) {
    fprintf(stderr, "%s carries no compressed stream\n", ours);
    return 1;
  }
  LONGLONG ours_size = file_size(ours), stored_size = file_size(stored), peer_size = file_size(peer);
  printf("installers: ours %lld bytes, the peer's (NSIS, /SOLID lzma) %lld bytes: ratio %.3f (goal: at most 0.92); "
         "ours stored %lld bytes; the files decoded %lu bytes, compressed %lu\n",
         ours_size, peer_size, static_cast<double>(ours_size) / static_cast<double>(peer_size), stored_size, decoded,
         compressed);

  std::string target = " /S /ARCH=x86 /D=" + folder;
  Measure mine = median_of("\"" + std::string(ours) + "\"" + target, folder);
  Measure plain = median_of("\"" + std::string(stored) + "\"" + target, folder);
  Measure theirs = median_of("\"" + std::string(peer) + "\" /S /D=" + folder, folder);
  Measure nothing = median_of("\"" + std::string(ours) + "\" /S /ARCH=arm64 /D=" + folder, folder);
  printf("/S install of the x86 set, median of %d:\n", RUNS);
  report("ours", mine, 7);
  report("ours stored", plain, 7);
  report("the peer's", theirs, 7);
  report("ours writing nothing", nothing, 0);
  printf("time: ours %.2f of the peer's (goal: at most 1.0), %.2f of ours stored\n", mine.seconds / theirs.seconds,
         mine.seconds / plain.seconds);
  double bound = static_cast<double>(nothing.peak) + decoded + compressed + 2 * mb;
  printf("peak working set: ours %.1f MB, at most writing nothing %.1f MB + dictionary %.1f MB + compressed %.1f MB + "
         "2 MB = %.1f MB: %s; the peer's %.1f MB\n",
         static_cast<double>(mine.peak) / mb, static_cast<double>(nothing.peak) / mb, decoded / mb, compressed / mb,
         bound / mb, static_cast<double>(mine.peak) <= bound ? "within" : "OVER", static_cast<double>(theirs.peak) / mb);
  bool ran = mine.exit_code == 0 && plain.exit_code == 0 && theirs.exit_code == 0 && nothing.exit_code == 5;
  return ran && mine.files == 7 && theirs.files == 7 ? 0 : 1;
}
