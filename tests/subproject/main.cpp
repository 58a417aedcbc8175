// An outside program that only includes the umbrella header and links the core.
#include <JoulemapCore.h>

#include <cstdio>

int main() {
    const auto data = joulemap::PowerAggregator::aggregateDesktop({});
    std::printf("%s %.1f\n", data.inputSub.c_str(), data.totalPower());
    return data.destinations.size() == 3 ? 0 : 1;
}
