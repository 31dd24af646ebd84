// Writes each fuzz target's seeds, seeds/<target>/:
//   fuzz_seeds <the real machines' trees> <seeds>
// what each monitor's test adds (tests/sensors/monitors/<monitor>_test.cpp): the captures of
// tests/fixtures/captures and the layouts it plays, the hwmon trees of the fixture machines and of
// the real machines (as tests/sensors/sensors_to_sysfs.cmake made them); and the findings kept in
// tests/fixtures/fuzz/<target>/.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tests/sensors/monitors/monitor_test.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: fuzz_seeds <real machines' trees> <seeds>\n";
        return 2;
    }
    Seeds seeds = makeSeeds(argv[1]);
    for (const auto& target : fs::directory_iterator(FIXTURES "/fuzz"))
        if (target.is_directory())
            for (const auto& finding : fs::directory_iterator(target.path()))
                seeds.add(target.path().filename().string(), "finding-" + finding.path().filename().string(),
                          readFile(finding.path().string()));
    const fs::path folder = argv[2];
    fs::remove_all(folder);
    for (const Seed& seed : seeds.made) {
        fs::create_directories(folder / seed.target);
        std::ofstream(folder / seed.target / seed.name, std::ios::binary) << seed.content;
    }
    return 0;
}
