// A launched program's stand-in: appends its parameters, one line per start, to
// recorded.txt in its working folder. A GUI program: no console window appears.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* line = GetCommandLineA();
    // Past the program token and exactly one blank: the parameters byte for byte.
    const char* rest = line;
    if (*rest == '"') {
        const char* close = std::strchr(rest + 1, '"');
        rest = close ? close + 1 : rest + std::strlen(rest);
    } else {
        while (*rest && *rest != ' ' && *rest != '\t')
            ++rest;
    }
    if (*rest == ' ' || *rest == '\t')
        ++rest;

    FILE* out = std::fopen("recorded.txt", "ab");
    if (!out)
        return 1;
    std::fputs(rest, out);
    std::fputs("\n", out);
    std::fclose(out);
    return 0;
}
