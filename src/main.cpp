// Entry point of the setup wizard.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("setup-wizard 1.0.0\n");
            return 0;
        }
    }
    std::printf("usage: setup-wizard [--version]\n");
    return 0;
}
