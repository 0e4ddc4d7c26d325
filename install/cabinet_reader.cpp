#include "cabinet_reader.h"

#include <fdi.h>
#include <stdio.h>
#include <string.h>

#include "system_calls.h"

namespace {

// One unpacking: the cabinet read from memory, the bytes handed to the sink. Both the
// cabinet's handle and the unpacked file's handle that FDI passes around point here.
struct CabinetRun {
  const unsigned char* bytes;
  DWORD size;
  DWORD at;  // read position
  ByteSink sink;
  void* context;
  DWORD error;  // the sink's refusal
};
CabinetRun* cabinet_run;  // FDI's open callback has no context: the unpacking under way

CabinetRun& run_of(INT_PTR handle) { return *reinterpret_cast<CabinetRun*>(handle); }

FNALLOC(cabinet_alloc) { return HeapAlloc(GetProcessHeap(), 0, cb); }
FNFREE(cabinet_free) { HeapFree(GetProcessHeap(), 0, pv); }

FNOPEN(cabinet_open) {  // only ever the cabinet, whatever the name
  (void)pszFile, (void)oflag, (void)pmode;
  cabinet_run->at = 0;
  return reinterpret_cast<INT_PTR>(cabinet_run);
}

FNREAD(cabinet_read) {
  CabinetRun& run = run_of(hf);
  UINT count = run.size - run.at < cb ? run.size - run.at : cb;
  memcpy(pv, run.bytes + run.at, count);
  run.at += count;
  return count;
}

// Once the sink has refused, nothing more reaches it: Wine's FDI goes on unpacking
// after a failed write, and the bytes after a lost block would land in its place.
FNWRITE(cabinet_write) {
  CabinetRun& run = run_of(hf);
  if (run.error == ERROR_SUCCESS) run.error = run.sink(run.context, static_cast<const unsigned char*>(pv), cb);
  return run.error == ERROR_SUCCESS ? cb : static_cast<UINT>(-1);
}

FNCLOSE(cabinet_close) {
  (void)hf;
  return 0;
}

FNSEEK(cabinet_seek) {
  CabinetRun& run = run_of(hf);
  LONG to = dist + (seektype == SEEK_CUR ? static_cast<LONG>(run.at) : seektype == SEEK_END ? static_cast<LONG>(run.size) : 0);
  if (to < 0 || static_cast<DWORD>(to) > run.size) return -1;
  run.at = static_cast<DWORD>(to);
  return to;
}

// Every file of the cabinet goes to the sink (FDICopy hands the run on as `pv`); the
// sink's owner closes what it writes to.
FNFDINOTIFY(cabinet_notify) {
  if (fdint == fdintCOPY_FILE) return reinterpret_cast<INT_PTR>(pfdin->pv);
  return fdint == fdintCLOSE_FILE_INFO ? TRUE : 0;
}

}  // namespace

DWORD unpack_cabinet(const unsigned char* cabinet, DWORD size, ByteSink sink, void* context) {
  HMODULE library = LoadLibraryExA("cabinet.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!library) return GetLastError();
  auto create = module_function<decltype(&FDICreate)>(library, "FDICreate");
  auto copy = module_function<decltype(&FDICopy)>(library, "FDICopy");
  auto destroy = module_function<decltype(&FDIDestroy)>(library, "FDIDestroy");
  DWORD error = ERROR_PROC_NOT_FOUND;
  if (create && copy && destroy) {
    CabinetRun run = {cabinet, size, 0, sink, context, ERROR_SUCCESS};
    cabinet_run = &run;
    ERF status;
    HFDI fdi = create(cabinet_alloc, cabinet_free, cabinet_open, cabinet_read, cabinet_write, cabinet_close,
                      cabinet_seek, cpuUNKNOWN, &status);
    error = ERROR_NOT_ENOUGH_MEMORY;
    if (fdi) {
      char name[] = "carried", path[] = "";  // names nothing: cabinet_open knows the cabinet
      BOOL copied = copy(fdi, name, path, 0, cabinet_notify, nullptr, &run);
      if (run.error != ERROR_SUCCESS)
        error = run.error;  // also when FDI reports success after a failed write
      else if (copied)
        error = ERROR_SUCCESS;
      else if (status.erfOper != FDIERROR_ALLOC_FAIL)
        error = ERROR_CRC;
      destroy(fdi);
    }
    cabinet_run = nullptr;
  }
  FreeLibrary(library);
  return error;
}
