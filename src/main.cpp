// Entry point of the setup wizard.
#include "wizard/startup.h"

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
    return RunSetupWizard(argc, argv);
}
