// A loadable module for the dynamic-library tests.
extern "C" int probeAnswer() { return 42; }
