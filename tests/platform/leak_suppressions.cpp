// The toolkit's font lookup (fontconfig) keeps its caches until the process
// ends; the leak checker is told not to count them.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
