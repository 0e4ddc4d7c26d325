// Writes the data of the demo plug-in that the installer carries: exactly 212,992
// bytes, the same on every build, which both builds of the demo library hold
// (demo_plugin.c). A short text saying what it is is followed by a fixed
// pseudo-random sequence, which holds every byte value (NUL, CR, LF and Ctrl-Z among
// them) and so shows any write that is not byte for byte. Built and run with the
// machine's own compiler.
//
//   make_demo_payload OUTPUT
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr unsigned long DEMO_SIZE = 212992;
constexpr char HEADER[] =
    "Veltrane demo plug-in \"TessoraOndelDemo.8bf\": fixed test bytes that show how the "
    "installer writes a carried plug-in. It filters nothing.\r\n\x1a";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_payload OUTPUT\n");
    return 2;
  }
  std::string bytes(HEADER, sizeof HEADER - 1);
  unsigned state = 0x2545F491u;  // xorshift32: fixed seed, fixed sequence
  while (bytes.size() < DEMO_SIZE) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes.push_back(static_cast<char>(state >> 24));
  }
  // Written beside the output and renamed, so a failed run leaves no short file
  // that the build would take for finished.
  std::string partial = std::string(argv[1]) + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) {
    std::perror(partial.c_str());
    return 1;
  }
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fclose(file) == 0 && written;
  if (!written || std::rename(partial.c_str(), argv[1]) != 0) {
    std::perror(argv[1]);
    std::remove(partial.c_str());
    return 1;
  }
  return 0;
}
