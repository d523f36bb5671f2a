// Pango starts fontconfig on a thread of its own and waits for it with GLib's futex-based
// locks, which ThreadSanitizer cannot see from uninstrumented libraries; what it then reports
// inside fontconfig, GLib and Pango are not faults of ours. Read only by ThreadSanitizer.
extern "C" const char *__tsan_default_suppressions() {
    return "called_from_lib:libfontconfig.so.1\n"
           "race:libfontconfig.so.1\n"
           "race:libglib-2.0.so.0\n"
           "race:libpango-1.0.so.0\n"
           "race:libpangoft2-1.0.so.0\n"
           "race:libharfbuzz.so.0\n"
           "race:libcairo.so.2\n"
           "mutex:libfontconfig.so.1\n"
           "mutex:libpangoft2-1.0.so.0\n";
}
