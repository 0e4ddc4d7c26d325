// Ends through the pure-virtual trap that the programs users get link.
extern "C" void __cxa_pure_virtual();

int main() {
  __cxa_pure_virtual();
  return 0;
}
