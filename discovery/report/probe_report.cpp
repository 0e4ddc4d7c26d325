// ProbeReport: runs the installer's folder discovery once and writes, one line per
// candidate folder in list order, the number of the probe row that found it, a tab
// and the entry as the installer's drop-down shows it. Plug-in makers use it to see
// why a host's folder is or is not offered. It writes nothing but standard output.
#include <windows.h>

#include "bounded_text.h"
#include "probe_sequence.h"

namespace {

// "row<TAB>path[Veltrane\]<CR><LF>" for one entry.
void format_entry(int index, char* line) {
  const CandidateFolder& entry = candidate_list.entries[index];
  wsprintfA(line, "%d\t", admitting_row[index]);
  append_text(line, PATH_CAPACITY + 32, entry.path);
  if (entry.append_subfolder) append_text(line, PATH_CAPACITY + 32, MAKER_SUBFOLDER);
  append_text(line, PATH_CAPACITY + 32, "\r\n");
}

}  // namespace

int main() {
  run_probe_sequence();
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  char line[PATH_CAPACITY + 32];
  for (int i = 0; i < candidate_count(); ++i) {
    format_entry(i, line);
    DWORD written = 0;
    WriteFile(output, line, static_cast<DWORD>(text_length(line)), &written, nullptr);
  }
  return 0;
}
