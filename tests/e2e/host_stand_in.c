/* A host editor's program as the discovery sees it: only its PE header matters, so
 * the end-to-end tests copy this program, built for x86 and for x64 (and patched to
 * ARM64), to where a host's registry entries point. */
int main(void) { return 0; }
