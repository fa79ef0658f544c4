// velozor-sim [SCENARIO]: replays a scenario on a virtual clock and prints every event and
// sound call of the game. Reads standard input when no file is named.
#include <fstream>
#include <iostream>

#include "tools/sim/Simulation.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: velozor-sim [SCENARIO]\n";
        return 2;
    }
    if (argc == 2) {
        std::ifstream file(argv[1]);
        if (!file) {
            std::cerr << "velozor-sim: cannot open scenario " << argv[1] << '\n';
            return 2;
        }
        return velozor::sim::runSimulation(file, std::cout, std::cerr);
    }
    return velozor::sim::runSimulation(std::cin, std::cout, std::cerr);
}
