// LibreHardwareMonitor and Open Hardware Monitor: their web server's answer with data.json, and
// the Sensor rows of their WMI namespaces.
#include <sstream>

#include "sensors/system/access/http_answer.h"
#include "tests/sensors/monitors/monitor_test.h"

std::string httpAnswer(const std::string& json)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size())
        + "\r\nConnection: close\r\n\r\n" + json;
}

// The body of a whole answer, "refused" when the answer gives none.
static std::string body(const std::string& answer)
{
    Bytes body(nullptr, 0);
    bool taken = bodyOfAnswer(answer.data(), static_cast<unsigned long>(answer.size()), body);
    return taken ? std::string(body.chars(), body.length()) : "refused";
}

// The captures as they are and behind the server's answer; HWiNFO's listings as these monitors'
// WMI rows would show the same sensors.
static const bool seeded = addSeeds([](Seeds& seeds) {
    for (const char* folder : {"libre-hardware-monitor", "open-hardware-monitor"})
        for (const Expected& each : realCaptures(folder)) {
            const std::string json = capture(each.path + ".json");
            seeds.add("monitor_json", each.name + ".json", json);
            seeds.add("web_answer", each.name + ".json", httpAnswer(json));
        }
    for (const Expected& each : realCaptures("hwinfo")) {
        if (registryQuery(each.path))
            continue;
        const Listing shown = listing(capture(each.path + ".txt"));
        std::ostringstream wmi;
        for (size_t n = 0; n < shown.readings.size(); ++n) {
            const ListedReading& r = shown.readings[n];
            const char* type = r.type == 1 ? "Temperature" : r.type == 3 ? "Fan" : "Other";
            wmi << n << ":SensorType=" << type << '\n' << n << ":Name=" << r.label << '\n' << n << ":Value#" << r.value
                << '\n' << n << ":Parent=/" << shown.sensors[r.sensor] << '\n';
        }
        seeds.add("monitor_wmi", each.name, wmi.str());
    }
});

TEST(LibreHardwareMonitor, WebServerAndWmi)
{
    for (const char* folder : {"libre-hardware-monitor", "open-hardware-monitor"})
        expectCaptures(folder, [](const std::string& path) {
            return parsed(capture(path + ".json"), readMonitorJson);
        });
    auto json = [](const std::string& document) { return parsed(document, readMonitorJson); };
    const std::string tree = capture("libre-hardware-monitor/made-amd-desktop-fahrenheit.json");
    auto wmi = [](const std::string& fields) { return parsed(fields, readMonitorWmi, "root\\LibreHardwareMonitor"); };
    // Only a whole "HTTP/1.x 200" whose headers end gives a body.
    auto answer = [](const std::string& text, const char* expected) { return Row{text, body(text), expected}; };
    expectRows({
        {"before 0.9.5: no RawValue, the formatted value in the user's unit",
         json(R"({"id":2,"Text":"Nuvoton NCT6798D","Value":"","ImageURL":"images_icon/chip.png","Children":[{"id":3,)"
              R"("Text":"Sensors","Children":[{"id":9,"Text":"System","Min":"","Value":"96.8 \u00B0F","Max":"",)"
              R"("SensorId":"/x/0","Type":"Temperature","ImageURL":"images/transparent.png","Children":[]}]}]})"),
         "- 36 -"},
        {"cut short: the card closed, the processor did not", json(tree.substr(0, tree.size() / 2)), "- - -"},
        {"objects opened without end", json(std::string(100000, '{')), "- - -"},
        {"arrays opened without end", json(std::string(100000, '[') + "\"Text\":\"CPU Package"), "- - -"},
        {"values beyond the check",
         json(R"({"Text":"CPU Package","Type":"Temperature","Value":"nan","RawValue":"1e308"})"), "- - -"},
        {"WMI rows",
         wmi("0:SensorType=Temperature\n0:Name=CPU Package\n0:Value#47.2\n0:Parent=/intelcpu/0\n"
             "1:SensorType=Fan\n1:Name=GPU Fan\n1:Value#1500\n1:Parent=/nvidiagpu/0\n"
             "2:SensorType=Fan\n2:Name=CPU Fan\n2:Value#987\n2:Parent=/lpc/nct6798d\n"
             "3:SensorType=Temperature\n3:Name=System\n3:Value#33.5\n3:Parent=/lpc/nct6798d"),
         "47 34 987"},
        {"no WMI rows: the monitor quit", wmi(""), "refused"},
        answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}", "{}"), answer("HTTP/1.0 200 OK\r\n\r\n", ""),
        answer("HTTP/1.1 200 OK\r\n\r\n[\r\n\r\n]", "[\r\n\r\n]"), answer("HTTP/2 200\r\n\r\n{}", "refused"),
        answer("HTTP/1.1 401 Unauthorized\r\n\r\n{}", "refused"), answer("HTTP/1.1 20", "refused"),
        answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", "refused"), answer("", "refused"),
        answer("SSH-2.0-OpenSSH 200\r\n\r\n", "refused"),
    });
}
