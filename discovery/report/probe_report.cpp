// ProbeReport: runs the installer's folder discovery once and writes, one line per
// candidate folder in list order, the number of the probe row that found it, a tab,
// the entry as the installer's drop-down shows it, a tab and the architecture of the
// folder's host (x86, x64, arm64, or - when nothing tells). Plug-in makers use it to see
// why a host's folder is or is not offered. It writes nothing but standard output.
#include <windows.h>

#include "bounded_text.h"
#include "host_probes.h"
#include "probe_sequence.h"

namespace {

// "row<TAB>path[Veltrane\]<TAB>architecture<CR><LF>" for one entry; 0 for an entry
// that the installer leaves out because it does not fit its path buffers.
int format_entry(int index, char* line) {
  char listed[PATH_CAPACITY];
  if (!format_listed_entry(candidate_list.entries[index], listed)) return 0;
  wsprintfA(line, "%d\t", candidate_list.entries[index].row);
  append_text(line, PATH_CAPACITY + 32, listed);
  append_text(line, PATH_CAPACITY + 32, "\t");
  append_text(line, PATH_CAPACITY + 32, architecture_name(candidate_list.entries[index].host.architecture));
  append_text(line, PATH_CAPACITY + 32, "\r\n");
  return 1;
}

}  // namespace

int main() {
  reset_candidate_list();
  run_probe_sequence();
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  char line[PATH_CAPACITY + 32];
  for (int i = 0; i < candidate_count(); ++i) {
    if (!format_entry(i, line)) continue;
    DWORD written = 0;
    WriteFile(output, line, static_cast<DWORD>(text_length(line)), &written, nullptr);
  }
  end_host_file_search();
  return 0;
}
