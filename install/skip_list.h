// The keys of the carried plug-ins not to be written: a plug-in is skipped when a key
// occurs in its normalised file name (case-sensitive). The installer keeps one
// process-wide list, which the dialog fills from its selectors switched off, and
// hands it to every write run.
#pragma once
#include "bounded_text.h"  // PATH_CAPACITY

constexpr int SKIP_CAPACITY = 20;  // skip keys; further keys are dropped

// One key: a 400-character text and a flag that is set to 1 and never read.
struct SkipKey {
  char key[PATH_CAPACITY];  // empty = free entry
  int flag;
};

// Used entries form a prefix: the first empty key ends the list. Zero-initialised
// storage: clear_skip_list gives it its initial state.
struct SkipList {
  SkipKey entries[SKIP_CAPACITY];
};

// Empties every entry and sets its flag to 1: once when the program starts, and at
// the start of every install attempt, so that a selector switched off for one
// attempt and on for the next does not skip its plug-in.
void clear_skip_list(SkipList& list);

// Stores `key` (shorter than 400 characters) in the first free entry; a key that
// finds the table full is dropped, so its plug-ins are written.
void add_skip_key(SkipList& list, const char* key);

// 1 when a key of `list` occurs in `file_name`.
int is_skipped(const SkipList& list, const char* file_name);
