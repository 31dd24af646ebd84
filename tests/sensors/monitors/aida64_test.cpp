// AIDA64, or EVEREST before it: the XML fragments of its shared memory, as the text it is, and
// its registry values.
#include <sstream>

#include "tests/sensors/monitors/monitor_test.h"

// The captures as they are, and each text value of the registry's alone, as a value of type
// REG_SZ (1) for the registry access.
static const bool seeded = addSeeds([](Seeds& seeds) {
    for (const Expected& each : realCaptures("aida64")) {
        if (!registryQuery(each.path)) {
            seeds.add("aida_memory", each.name + ".xml", capture(each.path + ".xml"));
            continue;
        }
        const std::string values = capture(each.path + ".txt"), text = "    REG_SZ    ";
        seeds.add("aida_registry", each.name + ".txt", values);
        std::istringstream lines(values);
        int n = 0;
        for (std::string line; std::getline(lines, line);)
            if (line.find(text) != std::string::npos)
                seeds.add("registry_value", std::to_string(n++), "\x01" + line.substr(line.find(text) + text.size()));
    }
});

TEST(Aida64, SharedMemoryAndRegistry)
{
    expectCaptures("aida64", [](const std::string& path) {
        return registryQuery(path) ? parsed(capture(path + ".txt"), readAidaRegistry, "")
                                   : parsed(capture(path + ".xml"), readAidaMemory);
    });
    auto aida = [](const std::string& xml) { return parsed(xml, readAidaMemory); };
    const std::string amd = capture("aida64/made-amd-desktop-shared-memory.xml");
    const std::string cores = "<temp><id>TCC-1-1</id><label>CPU #1 / Core #1</label><value>58</value></temp>"
                              "<temp><id>TCC-1-2</id><label>CPU #1 / Core #2</label><value>63</value></temp>";
    const char zeroInside[] = "<temp><id>TCPU</id><value>47</value></temp>\0<temp><id>TMOBO</id><value>30</value></temp>";
    expectRows({
        {"the processor's cores before the board chip's CPU", aida(amd + cores), "63 36 1096"},
        {"its package before its cores",
         aida(amd + cores + "<temp><id>TCPUPKG</id><label>CPU Package</label><value>58</value></temp>"), "58 36 1096"},
        {"cut inside the last record", aida(amd.substr(0, amd.size() - 30)), "55 36 1096"},
        {"tags opened without end", aida(std::string(100000, '<')), "- - -"},
        {"a tag inside a tag", aida("<temp><id>TCPU<temp><id>TCPU</id><value>"), "- - -"},
        {"a value beyond the check", aida("<temp><id>TCPU</id><value>1e308</value></temp>"), "- - -"},
        {"the text ends at its first zero", aida(std::string(zeroInside, sizeof zeroInside - 1)), "47 - -"},
        {"registry: a core before the board chip's CPU, the board by its id",
         parsed("0:Label.TCPU=CPU\n0:Value.TCPU=52\n0:Label.TCC-1-1=CPU Core #1\n0:Value.TCC-1-1=57\n0:Value.TMOBO=34\n"
                "0:Label.FCPU=CPU\n0:Value.FCPU=1250", readAidaRegistry, ""),
         "57 34 1250"},
    });
}
