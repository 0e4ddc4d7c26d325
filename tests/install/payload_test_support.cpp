#include "payload_test_support.h"

HMODULE instance_handle;
char chosen_folder[PATH_CAPACITY];
SkipList skip_list;
PayloadFailures payload_failures;
CarriedStream run_stream;

namespace {

InstallTarget target_now(Architecture set = ARCH_UNKNOWN) {
  return {instance_handle, chosen_folder, set, &skip_list, nullptr};
}
Architecture last_set = ARCH_UNKNOWN;

}  // namespace

void begin_install_attempt() { clear_skip_list(skip_list); }
void add_skip_key(const char* key) { add_skip_key(skip_list, key); }

int install_payloads(Architecture set) {
  last_set = set;
  InstallTarget target = target_now(set);
  return install_payloads(target, payload_failures);
}

int retry_failed_payloads() {
  InstallTarget target = target_now(last_set);
  return retry_failed_payloads(target, payload_failures);
}

int payload_failure_total() { return payload_failure_total(payload_failures); }

BOOL write_one_payload(HMODULE module, LPCSTR type, LPSTR name) {
  InstallTarget target = target_now();
  WriteRun run = {&target, &payload_failures, &run_stream};
  BOOL go_on = write_payload(module, type, name, reinterpret_cast<LONG_PTR>(&run));
  close_carried_stream(run_stream);
  run_stream = CarriedStream();
  return go_on;
}

BOOL enumerate_and_write(HMODULE module, WORD type) {
  InstallTarget target = target_now();
  WriteRun run = {&target, &payload_failures, &run_stream};
  run_stream = CarriedStream();
  BOOL ended = EnumResourceNamesA(module, MAKEINTRESOURCEA(type), write_payload, reinterpret_cast<LONG_PTR>(&run));
  close_carried_stream(run_stream);  // its pass count stays for the test to read
  return ended;
}

namespace {

DWORD append_to_string(void* text, const unsigned char* bytes, DWORD size) {
  static_cast<std::string*>(text)->append(reinterpret_cast<const char*>(bytes), size);
  return ERROR_SUCCESS;
}

}  // namespace

std::string carried_bytes(HMODULE module, const char* name, WORD type) {
  CarriedFile file;
  CarriedStream stream = {};
  std::string bytes;
  if (load_carried_file(module, MAKEINTRESOURCEA(type), name, file, stream) != ERROR_SUCCESS ||
      unpack_carried_file(file, append_to_string, &bytes) != ERROR_SUCCESS)
    bytes.clear();
  close_carried_stream(stream);
  return bytes;
}

std::string program_folder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

HMODULE load_payload_fixture() {
  return LoadLibraryExA((program_folder() + "payload_fixture.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::string failure_summary() {
  std::string summary;
  for (int i = 0; i < payload_failures.count; ++i) {
    if (!summary.empty()) summary += "|";
    summary += payload_failures.entries[i].file_name;
    summary += "=" + std::to_string(payload_failures.entries[i].error);
  }
  if (payload_failures.stopped) summary += "|stopped";
  if (payload_failures.dropped) summary += "|+" + std::to_string(payload_failures.dropped);
  return summary;
}

std::string temp_files_in(const std::string& folder) {
  std::string names = list_folder(folder), found;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find('|', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    if (name.find("~Veltrane") != std::string::npos || name.find(".tmp") != std::string::npos)
      found += (found.empty() ? "" : "|") + name;
    start = end + 1;
  }
  return found;
}

void PayloadTest::SetUp() {
  instance_handle = GetModuleHandleA(nullptr);
  begin_install_attempt();
  payload_failures = PayloadFailures();
  choose_folder("Plug-ins");
}

void PayloadTest::TearDown() {
  instance_handle = GetModuleHandleA(nullptr);
  begin_install_attempt();
  chosen_folder[0] = '\0';
}

std::string PayloadTest::choose_folder(const std::string& relative) {
  folder = tree.make_folder(relative);
  lstrcpynA(chosen_folder, (folder + "\\").c_str(), PATH_CAPACITY);
  return folder;
}

std::string PayloadTest::installed(const std::string& file_name) const {
  return read_file(folder + "\\" + file_name);
}
