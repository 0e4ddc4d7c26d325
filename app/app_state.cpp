#include "app_state.h"

HINSTANCE instance_handle = nullptr;
char chosen_folder[PATH_CAPACITY] = "";
ControlHost control_host;
SkinPainter* skin_painter = nullptr;
