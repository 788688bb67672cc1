// kirimo-make-sample OUT.avi: writes the built-in sample movie.

#include "support/testmedia/TestMedia.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kirimo-make-sample OUT.avi\n";
        return 2;
    }
    try {
        testmedia::writeSampleMovie(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "kirimo-make-sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
