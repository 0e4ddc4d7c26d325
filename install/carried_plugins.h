// The plug-in files an installer carries inside its own module, as resources: one
// set per build of the plug-ins (resources/payload_types.h), each file a resource of
// its set's type named by the file's name in the form the resource compiler stores it
// (upper case, "TESSORA__ONDEL__DEMO.8BF"); normalise_file_name turns that back into
// the file name ("TessoraOndelDemo.8bf"). Every function takes the module that
// carries the plug-ins: the installer's own, or a test's (a handle, never null).
#pragma once
#include <windows.h>

#include <stddef.h>

#include "architecture.h"  // Architecture, HostArchitecture
#include "carried_file.h"
#include "payload_types.h"

constexpr WORD PAYLOAD_TYPE = PAYLOAD_TYPE_X86;  // the set every installer has carried

// Rewrites a resource name into a file name in place and returns it: letters A to
// Z are lower-cased, the first character and every character after a non-letter
// (other than ' . and 8) upper-cased, "__" removed with the next character
// upper-cased, "_" made a space, ":" removed (the character after it keeps its
// case and "__" or "_" after it stays). Never longer than the input.
char* normalise_file_name(char* name);

// `name` as the installer writes it, normalised, in `file_name` (OUTPUT_PATH_CAPACITY
// bytes); 0 for a numeric id, which names no file, or a name that does not fit.
int carried_file_name(LPCSTR name, char* file_name);

// The resource type of the set of plug-ins for hosts of `architecture`: the x86 set
// for ARCH_UNKNOWN too, which is how the installer has always treated such hosts;
// none (0) for ARCH_64BIT, whose build is not known.
WORD payload_type_for(Architecture architecture);

// The set written into a folder whose host is `host`: that of its own architecture
// when `module` carries it (ARCH_UNKNOWN: the x86 set); for a bridged host, else the
// x86 set, which its 32-bit helper loads. 1 with `set`, or 0 when no carried set
// serves that host.
int plugin_set_for(HMODULE module, const HostArchitecture& host, Architecture* set);

// The types of every set, x86 first.
constexpr int PAYLOAD_SET_COUNT = 3;
extern const WORD PAYLOAD_TYPES[PAYLOAD_SET_COUNT];

// 1 when `module` carries at least one plug-in for hosts of `architecture`.
int carries_set_for(HMODULE module, Architecture architecture);

// The builds `module` carries, for messages: "32-bit (x86) and 64-bit (x64)"; "no"
// when it carries none. Bounded by `capacity`.
void carried_sets_text(HMODULE module, char* text, size_t capacity);

// Finds, sizes and loads the carried payload `name` of `type` in `module`:
// ERROR_SUCCESS with its bytes and size, or why not (ERROR_INVALID_DATA for an empty
// one, ERROR_CRC for one whose recorded size reaches past the module's mapped bytes:
// a damaged installer; never 0 on failure). No byte of it is read.
DWORD load_payload(HMODULE module, LPCSTR type, LPCSTR name, const void** bytes, DWORD* size);

// load_payload, then the carried form of the file read and checked (carried_file.h);
// for a file in the compressed stream, `stream` too: loaded and checked at the first
// such file (it starts zeroed, and one run keeps it for all its files), the file's
// record checked to lie within it, and `file.stream` set to it. ERROR_SUCCESS with
// `file` filled, ERROR_CRC for a damaged file or stream (`stream.damage` says why for
// the stream; every file in a damaged stream is damaged), or load_payload's error.
DWORD load_carried_file(HMODULE module, LPCSTR type, LPCSTR name, CarriedFile& file, CarriedStream& stream);
