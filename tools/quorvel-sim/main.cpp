#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "sim_options.h"
#include "simulator.h"

int main(int argc, char** argv)
{
    const sim::CommandLine command_line = sim::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command_line.outcome) {
    case sim::CommandLineOutcome::kHelp:
        std::cout << sim::HelpText();
        return 0;
    case sim::CommandLineOutcome::kError:
        std::cerr << "quorvel-sim: " << command_line.error << "\nTry 'quorvel-sim --help'.\n";
        return 2;
    case sim::CommandLineOutcome::kRun:
        break;
    }
    try {
        sim::Simulator simulator(command_line.options);
        return simulator.Run();
    } catch (const std::exception& error) {
        std::cerr << "quorvel-sim: " << error.what() << "\n";
        return 1;
    }
}
