// Exits with the pointer size in bits: 32 or 64.
int main() { return static_cast<int>(sizeof(void*) * 8); }
