// Leak reports from system libraries that keep process-lifetime caches (Mesa,
// fontconfig, GTK, X11) are not ours to fix; LeakSanitizer reads this list when
// the test executable starts. Linked into the tests that use those libraries.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libOSMesa\n"
           "leak:libGLX\n"
           "leak:libGL.so\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libX11\n"
           "leak:libgtk-3\n"
           "leak:libgdk-3\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libgio-2.0\n"
           "leak:libpango\n"
           "leak:libcairo\n"
           "leak:libatk\n"
           "leak:libdbus\n"
           "leak:libportaudio\n"
           "leak:libasound\n";
}
