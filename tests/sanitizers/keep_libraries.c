/* Preloaded into the programs that the end-to-end tests run in the sanitizer build: keeps
   every shared library loaded at exit, so that LeakSanitizer can name the system library
   (SDL, Mesa, X) behind a leak and the suppressions in lsan.supp apply to it. A library
   unloaded before the leak check shows as an unknown module that no suppression matches. */
int dlclose(void *handle)
{
    (void)handle;
    return 0;
}
