// The relay of the network benchmark as a program of its own, so that the program measured
// shares its process with nothing: korvel_latency_proxy TARGET_PORT ONE_WAY_MICROSECONDS
// prints the port it listens on, then for each line it reads the round trips so far, and
// ends when its input does.

#include "bench/LatencyProxy.h"

#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

using namespace korvel;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvel_latency_proxy TARGET_PORT ONE_WAY_MICROSECONDS\n");
        return 2;
    }
    // The delay is a sleep until the data is due: without the kernel's default slack of 50 µs
    // a wake-up, the relay held each piece 0.55–0.6 ms where it was asked for 0.5.
    prctl(PR_SET_TIMERSLACK, 1UL);
    const LatencyProxy proxy(static_cast<std::uint16_t>(std::atoi(argv[1])),
                             std::chrono::microseconds(std::atoi(argv[2])));
    std::printf("%u\n", static_cast<unsigned>(proxy.port()));
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        std::printf("%lld\n", static_cast<long long>(proxy.roundTrips()));
        std::fflush(stdout);
    }
    return 0;
}
