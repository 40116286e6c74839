// A loadable module that loads but exports no NFilterRead.
extern "C" int NotAFilter() { return 1; }
