// The installer's discovery knowledge: one fixed, ordered table of probes over the
// host editors' registry keys, document types and settings files: rows 1 to 22 for
// the hosts of the early 2000s, then rows for today's hosts (23 on). Its order decides
// the order of the candidate list and so the installer's default folder.
#pragma once
#include "candidate_list.h"

constexpr int PROBE_ROWS = 39;

// Runs the probe rows in order, each to its end. Expects the candidate list in its
// initial state.
void run_probe_sequence();

