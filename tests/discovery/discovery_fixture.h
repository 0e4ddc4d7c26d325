// A fixture for the probe tests: a folder tree and registry keys of the test's own,
// removed when it ends, and an empty candidate list before and after.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "candidate_list.h"
#include "registry_scan.h"
#include "registry_seed.h"
#include "temp_tree.h"

// What a probe outside the probe sequence admits with: no row, host or facts.
constexpr ProbeFindings NO_FINDINGS = {0, nullptr, ARCH_UNKNOWN, 0, 0};

class DiscoveryTest : public ::testing::Test {
protected:
  void SetUp() override {
    reset_candidate_list();
    value_cursor = 0;
  }
  void TearDown() override { reset_candidate_list(); }

  // The paths in the candidate list, in list order.
  static std::vector<std::string> listed() {
    std::vector<std::string> paths;
    for (int i = 0; i < candidate_count(); ++i) paths.push_back(candidate_list.entries[i].path);
    return paths;
  }
  // How the list stores the folder `relative` of the tree: title-cased, ending in "\".
  std::string stored(const std::string& relative = "") const {
    char buffer[PATH_CAPACITY];
    lstrcpynA(buffer, (relative.empty() ? tree.root() : tree.path(relative)).c_str(), PATH_CAPACITY);
    std::string text = title_case(buffer);
    return text.back() == '\\' ? text : text + "\\";
  }
  static std::string lower(std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  }

  TempTree tree;
  RegistrySeed seed;
};
