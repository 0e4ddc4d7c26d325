// A module that exists for its payload resources (payload_fixture.rc): the payload
// tests load it as a data file and enumerate it. Running it does nothing.
int main() { return 0; }
