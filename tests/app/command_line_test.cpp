#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
  const char* line;
  int ok;
  int silent;
  int usage;
  const char* target;
  const char* log;
};

TEST(CommandLine, ParsesEveryFormPeopleUse) {
  const Row rows[] = {
      {"setup.exe", 1, 0, 0, "", ""},
      {"\"C:\\Down loads\\setup.exe\"", 1, 0, 0, "", ""},
      {"setup.exe /S", 1, 1, 0, "", ""},
      {"setup.exe /s /log=C:\\x.log", 1, 1, 0, "", "C:\\x.log"},
      {"setup.exe /S /D=C:\\Filters", 1, 1, 0, "C:\\Filters\\", ""},
      {"setup.exe /S /D=C:\\Some Folder\\  ", 1, 1, 0, "C:\\Some Folder\\", ""},
      {"setup.exe /S \"/D=C:\\Some Folder\\\\\"", 1, 1, 0, "C:\\Some Folder\\", ""},
      {"setup.exe /S /D=\"C:\\Some Folder\"", 1, 1, 0, "C:\\Some Folder\\", ""},
      {"setup.exe /D=C:\\a\"b\"", 1, 0, 0, "C:\\ab\\", ""},  // quotes inside one argument, as the platform reads them
      {"setup.exe /d=\\\\server\\share\\plug ins", 1, 0, 0, "\\\\server\\share\\plug ins\\", ""},
      {"setup.exe \"/LOG=C:\\my logs\\a.log\" /S", 1, 1, 0, "", "C:\\my logs\\a.log"},
      {"setup.exe /LOG=\"C:\\my logs\\a.log\"", 1, 0, 0, "", "C:\\my logs\\a.log"},
      {"setup.exe /?", 1, 0, 1, "", ""},
      {"setup.exe\t/S\t", 1, 1, 0, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    CommandLine parsed;
    memset(&parsed, 0xBD, sizeof parsed);
    EXPECT_EQ(parse_command_line(row.line, &parsed), row.ok);
    EXPECT_EQ(parsed.silent, row.silent);
    EXPECT_EQ(parsed.show_usage, row.usage);
    EXPECT_STREQ(parsed.target, row.target);
    EXPECT_STREQ(parsed.log_path, row.log);
  }
}

TEST(CommandLine, RefusesBadLinesButStillSeesTheSilentSwitch) {
  const struct {
    const char* line;
    int silent;
  } rows[] = {
      {"setup.exe /X", 0},
      {"setup.exe /S /X", 1},
      {"setup.exe /X /S", 1},
      {"setup.exe /S /S", 1},
      {"setup.exe /S /? /?", 1},
      {"setup.exe /S /LOG=a /LOG=b", 1},
      {"setup.exe /S /LOG=", 1},
      {"setup.exe /S /D=", 1},
      {"setup.exe /S /D=relative\\folder", 1},
      {"setup.exe /S /D=C:", 1},
      {"setup.exe /S /D=\\\\server", 1},
      {"setup.exe /S /D=C:\\a /S", 1},  // verbatim, the folder would hold "/S"
      {"setup.exe /S \"/D=C:\\a\" /S", 1},  // quoted: the folder switch must be the last
      {"setup.exe /S /D=C:\\a<b", 1},
      {"setup.exe /S /D=C:\\a /D=C:\\b", 1},
      {"setup.exe /S /D=\\\\.\\NUL", 1},  // devices and pipes are no folders
      {"setup.exe /S \"/D=\\\\.\\pipe\\x\"", 1},
      {"setup.exe /Sx", 0},
      {"setup.exe S", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    CommandLine parsed;
    EXPECT_EQ(parse_command_line(row.line, &parsed), 0);
    EXPECT_EQ(parsed.silent, row.silent);
  }
}

TEST(CommandLine, ArchNamesTheTargetsArchitectureOnce) {
  const struct {
    const char* line;
    int ok;
    Architecture architecture;
  } rows[] = {
      {"setup.exe /S", 1, ARCH_UNKNOWN},
      {"setup.exe /S /ARCH=x64", 1, ARCH_X64},
      {"setup.exe /arch=ARM64 /S /D=C:\\a", 1, ARCH_ARM64},
      {"setup.exe /S \"/ARCH=X86\"", 1, ARCH_X86},
      {"setup.exe /S /ARCH=", 0, ARCH_UNKNOWN},
      {"setup.exe /S /ARCH=amd64", 0, ARCH_UNKNOWN},
      {"setup.exe /S /ARCH=x64x", 0, ARCH_UNKNOWN},
      {"setup.exe /S /ARCH=x64 /ARCH=x86", 0, ARCH_X64},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    CommandLine parsed;
    EXPECT_EQ(parse_command_line(row.line, &parsed), row.ok);
    EXPECT_EQ(parsed.architecture, row.architecture);
  }
}

TEST(CommandLine, AllAndUninstallAndWhatIsIgnoredWithoutSilent) {
  const struct {
    const char* line;
    int ok, all, uninstall, usage;
    const char* target;
  } rows[] = {
      {"setup.exe /S /ALL", 1, 1, 0, 0, ""},
      {"setup.exe /all /s /LOG=C:\\a.log", 1, 1, 0, 0, ""},
      {"setup.exe /S /U", 1, 0, 1, 0, ""},
      {"setup.exe /u /D=C:\\Plug-ins", 1, 0, 1, 0, "C:\\Plug-ins\\"},
      {"setup.exe /S /ALL /D=C:\\a", 0, 1, 0, 0, "C:\\a\\"},  // /ALL takes every folder: no /D=
      {"setup.exe /S /ALL /ARCH=x64", 0, 1, 0, 0, ""},
      {"setup.exe /S /U /ALL", 0, 1, 1, 0, ""},
      {"setup.exe /S /U /U", 0, 0, 1, 0, ""},
      {"setup.exe /S foo", 0, 0, 0, 0, ""},
      // Without /S what is not a switch is passed over and the rest still counts.
      {"setup.exe foo", 0, 0, 0, 0, ""},
      {"setup.exe /X /D=C:\\a", 0, 0, 0, 0, "C:\\a\\"},
      {"setup.exe --install /? /Q", 0, 0, 0, 1, ""},
      {"setup.exe /ALL", 0, 0, 0, 0, ""},  // /ALL is for unattended runs only
      {"setup.exe /D=relative", 0, 0, 0, 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    CommandLine parsed;
    EXPECT_EQ(parse_command_line(row.line, &parsed), row.ok);
    EXPECT_EQ(parsed.all, row.all);
    EXPECT_EQ(parsed.uninstall, row.uninstall);
    EXPECT_EQ(parsed.show_usage, row.usage);
    EXPECT_STREQ(parsed.target, row.target);
  }
}

TEST(CommandLine, AFolderAtTheBufferLimitIsRefusedNeverCut) {
  std::string fits = "C:\\" + std::string(PATH_CAPACITY - 5, 'f');  // 398 characters, + "\" = 399
  std::string too_long = fits + "g";
  CommandLine parsed;
  ASSERT_EQ(parse_command_line(("setup.exe /S /D=" + fits).c_str(), &parsed), 1);
  EXPECT_EQ(std::string(parsed.target), fits + "\\");
  EXPECT_EQ(parse_command_line(("setup.exe /S /D=" + too_long).c_str(), &parsed), 0);
  EXPECT_STREQ(parsed.target, "");
  EXPECT_EQ(parse_command_line(("setup.exe /S \"/D=" + too_long + "\"").c_str(), &parsed), 0);
  EXPECT_STREQ(parsed.target, "");
  EXPECT_EQ(parse_command_line(("setup.exe /S /LOG=C:\\" + std::string(PATH_CAPACITY, 'l')).c_str(), &parsed), 0);
  EXPECT_EQ(parsed.silent, 1);
}

// One over-long argument is one bad argument: nothing inside it, quoted blanks and
// all, is ever read as a switch.
TEST(CommandLine, AnOverlongArgumentIsOneBadArgumentWhateverItHolds) {
  const std::string filler(420, 'x');
  struct Case {
    std::string line;
    int silent;
  } cases[] = {
      {"setup.exe \"/X=" + filler + " /U\"", 0},
      {"setup.exe \"/X=" + filler + " /S /U /D=C:\\a\"", 0},
      {"setup.exe /S \"/X=" + filler + " /U\"", 1},
      {"setup.exe /X=" + filler + "\" /S\"", 0},  // the quote opens inside the argument
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(c.line.size() - 20));
    CommandLine parsed;
    EXPECT_EQ(parse_command_line(c.line.c_str(), &parsed), 0);
    EXPECT_EQ(parsed.silent, c.silent);
    EXPECT_EQ(parsed.uninstall, 0);
    EXPECT_STREQ(parsed.target, "");
  }
}

TEST(CommandLine, SkipsQuotedAndPlainProgramNames) {
  EXPECT_STREQ(skip_program_name("\"C:\\a b\\setup.exe\"  /S"), "/S");
  EXPECT_STREQ(skip_program_name("setup.exe /S"), "/S");
  EXPECT_STREQ(skip_program_name("setup.exe"), "");
}

}  // namespace
