// Prints where the desktop program would look for its manual:
//   help_file_probe PROGRAM_FOLDER EXECUTABLE_FOLDER
#include "shell/HelpFile.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: help_file_probe PROGRAM_FOLDER EXECUTABLE_FOLDER\n");
        return 1;
    }
    const QString path =
        korvane::findHelpFile(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    std::printf("%s\n", path.toLocal8Bit().constData());
    return 0;
}
