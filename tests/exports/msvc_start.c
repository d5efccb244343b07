/* msvc_start.c -- the start-up a Visual Studio program gets from its C runtime, for the test that
   links the README's example with clang-cl and lld-link where no Visual Studio runtime exists:
   main runs and its result goes to msvcrt.dll's exit, which also flushes stdout. */
int main(void);
__declspec(dllimport) void __cdecl exit(int status);

void __cdecl mainCRTStartup(void)
{
    exit(main());
}
