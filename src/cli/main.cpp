#include <cstdio>

int main() {
    std::fputs("kirimo-extract: not built yet\n", stderr);
    return 2;
}
