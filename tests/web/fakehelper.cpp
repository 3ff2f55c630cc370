// Stands in for fairstake-web in the proxy tests: appends "start <pid>", every
// line it receives and finally "eof" to the file named by
// FAIRSTAKE_FAKE_HELPER_LOG.  It answers "report" with an address report (escaped
// as the protocol writes it), as the real helper does when the user has typed
// into the address box, and a window report; with FAIRSTAKE_FAKE_HELPER_FLOOD=N
// an address report of N characters first.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

int main() {
    const char* logName = std::getenv("FAIRSTAKE_FAKE_HELPER_LOG");
    if (!logName) return 2;
    auto log = [logName](const std::string& line) { std::ofstream(logName, std::ios::app) << line << '\n'; };
    log("start " + std::to_string(getpid()));
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        log(line);
        if (line == "report" && std::getenv("FAIRSTAKE_FAKE_HELPER_FLOOD"))
            std::cout << "address " << std::string(std::stoul(std::getenv("FAIRSTAKE_FAKE_HELPER_FLOOD")), 'x') << '\n';
        if (line == "report") std::cout << "address typed\\nby\\\\the user\nwindow 0 0 787 521 1 0" << std::endl;
    }
    log("eof");
    return 0;
}
