#include "app_state.h"

#include "candidate_list.h"

HINSTANCE instance_handle = nullptr;
InstallLog run_log;
SkipList skip_list;
char chosen_folder[PATH_CAPACITY];
ControlHost control_host;
SkinPainter* skin_painter = nullptr;

void reset_program_tables() {
  reset_candidate_list();
  clear_skip_list(skip_list);
}
