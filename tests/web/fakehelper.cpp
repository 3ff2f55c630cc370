// Stands in for fairstake-web in the proxy tests: appends "start", every line it
// receives and finally "eof" to the file named by FAIRSTAKE_FAKE_HELPER_LOG.  It
// answers "report" with an escaped address report (as the real helper does when
// the user has typed into the address box) and a window report; with
// FAIRSTAKE_FAKE_HELPER_FLOOD=N an address report of N characters first.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main() {
    const char* logName = std::getenv("FAIRSTAKE_FAKE_HELPER_LOG");
    const char* flood = std::getenv("FAIRSTAKE_FAKE_HELPER_FLOOD");
    if (!logName) return 2;
    std::ofstream log(logName, std::ios::app);
    std::cout << "ready" << std::endl;
    for (std::string line = "start"; log << line << std::endl, std::getline(std::cin, line);)
        if (line == "report")
            std::cout << (flood ? "address " + std::string(std::stoul(flood), 'x') + '\n' : "")
                      << "address typed\\nby\\\\the user\nwindow 0 0 787 521 1 0" << std::endl;
    log << "eof" << std::endl;
    return 0;
}
