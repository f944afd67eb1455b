// A shared library that is no effect plug-in: it exports none of the plug-in functions.
extern "C" int NotAnEffect() { return 42; }
