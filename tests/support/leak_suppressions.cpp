// The toolkit's font lookup (fontconfig) keeps its caches until the process
// ends, once anything has laid out text; the leak checker is told not to count
// them. Linked into every test binary and every checker the screen tests run.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
