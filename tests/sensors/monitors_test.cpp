// Each monitor without Win32, one group of cases each: what it gives on real layouts, and
// that broken or hostile data is refused without a read past what is there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/support/published_text.h"
#include "sensors/system/access/http_answer.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"
#include "tests/sensors/publisher_images.h"

namespace {

const long long now = 1767225600; // 1 January 2026

std::string parsed(const Published& published, Parser parse)
{
    Choice choice("test");
    return parse(published, choice) ? text(choice.readings()) : "refused";
}

// The monitor's reading of an exact copy: a vector's bytes end where the image ends, so a read
// past it shows in the sanitizers and valgrind, and what the monitor does not take reads
// "refused".
std::string parsed(const Image& image, Parser parse)
{
    Published published;
    published.bytes = Bytes(image.data(), static_cast<unsigned long>(image.size()));
    published.now = now;
    return parsed(published, parse);
}

std::string parsed(const std::string& text, Parser parse)
{
    return parsed(Image(text.begin(), text.end()), parse);
}

// Fields written one a line, "row:name=text" or "row:name#number" (tests/support/published_text.h).
std::string parsed(const std::string& fields, Parser parse, const char* address)
{
    return parsed(TextFields(fields, address).published(), parse);
}

// An Intel desktop as HWiNFO 7 shows it: the processor's DTS sensor, a board chip, a card.
const std::vector<std::string> intelSensors = {"CPU [#0]: Intel Core i7-8700K: DTS",
                                               "ASUS PRIME Z370-A (Nuvoton NCT6793D)",
                                               "GPU [#0]: NVIDIA GeForce GTX 1070"};
const std::vector<HwinfoReading> intelReadings = {
    {1, 0, "Core #0", "\xb0""C", 44}, {1, 0, "Core #1", "\xb0""C", 47}, {1, 0, "CPU Package", "\xb0""C", 49.3},
    {1, 1, "Motherboard", "\xb0""C", 31}, {1, 1, "CPU", "\xb0""C", 39}, {3, 1, "CPU", "RPM", 1184},
    {3, 1, "Chassis1", "RPM", 760}, {1, 2, "GPU Temperature", "\xb0""C", 41}, {3, 2, "GPU Fan1", "RPM", 1150},
    {2, 1, "Vcore", "V", 1.2},
};

std::string hwinfo(const Image& image)
{
    return parsed(image, readHwinfoMemory);
}

} // namespace

TEST(Hwinfo, SharedMemory)
{
    HwinfoLayout live;
    live.polled = now - 1;
    Image intel = hwinfoImage(intelSensors, intelReadings, live);
    HwinfoLayout larger = live; // a later version's longer elements
    larger.sensorSize += 100, larger.readingSize += 64;
    HwinfoLayout first = live; // version 1: no UTF-8 fields, no polling period
    first.version = 1, first.sensorSize = 264, first.readingSize = 316;
    HwinfoLayout stale = live;
    stale.polled = now - 60;
    std::vector<HwinfoReading> fahrenheit = {{1, 0, "CPU Package", "\xb0""F", 122}, {3, 1, "CPU", "RPM", 900}};
    Image dead = intel;
    std::memcpy(&dead[0], "DEAD", 4);

    struct Case { const char* what; Image image; const char* expected; } cases[] = {
        {"the Intel desktop", intel, "49 31 1184"},
        {"larger elements than ours", hwinfoImage(intelSensors, intelReadings, larger), "49 31 1184"},
        {"version 1", hwinfoImage(intelSensors, intelReadings, first), "49 31 1184"},
        {"degrees Fahrenheit", hwinfoImage(intelSensors, fahrenheit, live), "50 - 900"},
        {"a minute since the last poll", hwinfoImage(intelSensors, intelReadings, stale), "refused"},
        {"marked DEAD", dead, "refused"},
        {"cut before its readings end", Image(intel.begin(), intel.end() - 1), "refused"},
        {"a header alone, cut short", Image(intel.begin(), intel.begin() + 30), "refused"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hwinfo(c.image), c.expected) << c.what;
}

// Every field a header states, broken one at a time: refused or read within bounds.
TEST(Hwinfo, HeadersThatLie)
{
    HwinfoLayout live;
    live.polled = now;
    const Image intel = hwinfoImage(intelSensors, intelReadings, live);
    struct Case { size_t field; uint32_t value; const char* expected; } cases[] = {
        {hwinfoReadingCount, 0x7FFFFFFF, "refused"}, {hwinfoReadingCount, 11, "refused"},
        {hwinfoSensorCount, 0xFFFFFFFF, "refused"}, {hwinfoReadingOffset, 0xFFFFFFF0, "refused"},
        {hwinfoSensorOffset, 0xFFFFFF00, "refused"}, {hwinfoReadingSize, 0, "refused"},
        {hwinfoReadingSize, 1, "refused"}, {hwinfoSensorSize, 1, "refused"},
        {hwinfoReadingCount, 0, "- - -"}, {hwinfoSensorCount, 1, "49 - -"}, // readings naming missing sensors
    };
    for (const auto& c : cases) {
        Image image = intel;
        putU32(image, c.field, c.value);
        EXPECT_EQ(hwinfo(image), c.expected) << "field at " << c.field << " = " << c.value;
    }
    Image unterminated = intel; // every text field full, no zero anywhere in them
    for (size_t at = 48; at < unterminated.size(); ++at)
        if (unterminated[at] == 0)
            unterminated[at] = 'x';
    EXPECT_EQ(hwinfo(unterminated), "- - -") << "no type or sensor index is left whole";
}

TEST(Hwinfo, GadgetValues)
{
    auto gadget = [](const std::string& fields) { return parsed(fields, readHwinfoGadget, ""); };
    const std::string amd = "0:Sensor0=CPU [#0]: AMD Ryzen 7 5800X: Enhanced\n0:Label0=CPU (Tctl/Tdie)\n"
                            "0:Value0=61.4 \xb0""C\n0:ValueRaw0=61.4\n0:Label1=System1\n0:Value1=96.8 \xb0""F\n"
                            "0:ValueRaw1=96.8\n0:Sensor2=ASUS TUF GAMING X570-PLUS (Nuvoton NCT6798D)\n"
                            "0:Label2=CPU\n0:Value2=1,830 RPM\n0:ValueRaw2=1830\n0:Sensor3=GPU [#0]: AMD Radeon\n"
                            "0:Label3=GPU Fan\n0:Value3=1500 RPM\n0:ValueRaw3=1500";
    EXPECT_EQ(gadget(amd), "61 36 1830");
    EXPECT_EQ(gadget("0:Label0=CPU Package\n0:ValueRaw0=1e308\n0:Value0=1e308 \xb0""C\n0:Label1=CPU\n"
                     "0:ValueRaw1=-5\n0:Value1=-5 RPM\n0:Label9999=CPU\n0:ValueRaw9999=900\n0:Value9999=900 RPM"),
              "- - -");
    EXPECT_EQ(gadget("0:Sensor0=CPU\n0:Value0=45 \xb0""C"), "refused") << "no label: not the gadget's";
}

TEST(CoreTempAfterburnerSpeedFanMbm5, SharedMemory)
{
    auto coreTemp = [](CoreTempState state) { return parsed(coreTempImage(state), readCoreTemp); };
    CoreTempState laptop;
    laptop.temps = {52, 58, 55, 54};
    CoreTempState delta = laptop;
    delta.deltaToTjMax = true, delta.temps = {48, 42, 45, 46};
    CoreTempState fahrenheit = laptop;
    fahrenheit.fahrenheit = true, fahrenheit.temps = {125.6f, 136.4f};
    CoreTempState absurd = laptop;
    absurd.temps = {1e30f, -1e30f, NAN, 57};
    CoreTempState hostile = laptop;
    hostile.coreCount = 100000;
    EXPECT_EQ(coreTemp(laptop), "58 - -");
    EXPECT_EQ(coreTemp(delta), "58 - -") << "distance to a TjMax of 100";
    EXPECT_EQ(coreTemp(fahrenheit), "58 - -");
    EXPECT_EQ(coreTemp(absurd), "57 - -");
    EXPECT_EQ(coreTemp(hostile), "refused");

    auto afterburner = [](const Image& image) { return parsed(image, readAfterburner); };
    std::vector<AfterburnerEntry> entries = {{"GPU temperature", "\xb0""C", 45, 0x00},
                                             {"CPU temperature", "\xb0""C", 61, 0x80},
                                             {"Fan speed", "%", 40, 0x10}};
    EXPECT_EQ(afterburner(afterburnerImage(entries, static_cast<int32_t>(now))), "61 - -");
    EXPECT_EQ(afterburner(afterburnerImage({{"CPU temperature", "\xb0""C", 3.4e38f, 0x80}}, static_cast<int32_t>(now))),
              "- - -") << "FLT_MAX while it has no value";
    Image released = afterburnerImage(entries, static_cast<int32_t>(now));
    putU32(released, 0, 0xDEAD);
    EXPECT_EQ(afterburner(released), "refused");

    EXPECT_EQ(parsed(speedFanImage({4250, 3800}, {1320, 800}), readSpeedFan), "- - 1320");
    EXPECT_EQ(parsed(mbm5Image({{1, "CPU", 47.5}, {1, "Mobo", 33}, {3, "CPU Fan", 2410}, {2, "Vcore", 1.5}}), readMbm5),
              "48 33 2410");
    Image crowded = mbm5Image({{1, "CPU", 47.5}});
    putU32(crowded, 12, 0x7FFFFFFF);
    EXPECT_EQ(parsed(crowded, readMbm5), "refused");
}

TEST(Aida64, SharedMemoryAndRegistry)
{
    auto aida = [](const std::string& xml) { return parsed(xml, readAidaMemory); };
    const std::string amd = "<sys><id>SDATE</id><label>Date</label><value>2026-01-01</value></sys>"
                            "<temp><id>TMOBO</id><label>Motherboard</label><value>36</value></temp>"
                            "<temp><id>TCPU</id><label>CPU</label><value>55</value></temp>"
                            "<temp><id>TCPUDIO</id><label>CPU Diode</label><value>53</value></temp>"
                            "<fan><id>FCPU</id><label>CPU</label><value>1096</value></fan>"
                            "<fan><id>FCHA1</id><label>Chassis #1</label><value>650</value></fan>";
    const std::string cores = "<temp><id>TCC-1-1</id><label>CPU #1 / Core #1</label><value>58</value></temp>"
                              "<temp><id>TCC-1-2</id><label>CPU #1 / Core #2</label><value>63</value></temp>";
    EXPECT_EQ(aida(amd), "55 36 1096");
    EXPECT_EQ(aida(amd + cores), "63 36 1096") << "the processor's cores before the board chip's CPU";
    EXPECT_EQ(aida(amd + cores + "<temp><id>TCPUPKG</id><label>CPU Package</label><value>58</value></temp>"),
              "58 36 1096");
    EXPECT_EQ(aida(amd.substr(0, amd.size() - 30)), "55 36 1096") << "cut inside the last record";
    EXPECT_EQ(aida(std::string(100000, '<')), "- - -");
    EXPECT_EQ(aida("<temp><id>TCPU<temp><id>TCPU</id><value>"), "- - -");
    EXPECT_EQ(aida("<temp><id>TCPU</id><value>1e308</value></temp>"), "- - -");
    const char zeroInside[] = "<temp><id>TCPU</id><value>47</value></temp>\0<temp><id>TMOBO</id><value>30</value></temp>";
    EXPECT_EQ(aida(std::string(zeroInside, sizeof zeroInside - 1)), "47 - -") << "the text ends at its first zero";

    auto registry = [](const std::string& fields) { return parsed(fields, readAidaRegistry, ""); };
    EXPECT_EQ(registry("0:Label.TCPU=CPU\n0:Value.TCPU=52\n0:Label.TCC-1-1=CPU Core #1\n0:Value.TCC-1-1=57\n"
                       "0:Value.TMOBO=34\n0:Label.FCPU=CPU\n0:Value.FCPU=1250"),
              "57 34 1250");
}

TEST(LibreHardwareMonitor, WebServerJson)
{
    auto json = [](const std::string& document) { return parsed(document, readMonitorJson); };
    auto sensor = [](const char* name, const char* type, const char* value, const char* raw) {
        std::string node = std::string("{\"id\":9,\"Text\":\"") + name + "\",\"Min\":\"\",\"Value\":\"" + value
            + "\",\"Max\":\"\",\"SensorId\":\"/x/0\",\"Type\":\"" + type + "\"";
        if (raw)
            node += std::string(",\"RawValue\":\"") + raw + "\"";
        return node + ",\"ImageURL\":\"images/transparent.png\",\"Children\":[]}";
    };
    auto hardware = [](const char* name, const char* image, const std::string& sensors) {
        return std::string("{\"id\":2,\"Text\":\"") + name + "\",\"Value\":\"\",\"ImageURL\":\"images_icon/" + image
            + "\",\"Children\":[{\"id\":3,\"Text\":\"Sensors\",\"Children\":[" + sensors + "]}]}";
    };
    std::string cpu = hardware("AMD Ryzen 7 5800X", "cpu.png",
                               sensor("Core (Tctl/Tdie)", "Temperature", "61,5 \\u00B0C", "61,5 \\u00B0C") + ","
                                   + sensor("CCD1 (Tdie)", "Temperature", "58,0 \\u00B0C", nullptr));
    std::string board = hardware("Nuvoton NCT6798D", "chip.png",
                                 sensor("Motherboard", "Temperature", "96,8 \\u00B0F", "36,0 \\u00B0C") + ","
                                     + sensor("CPU", "Fan", "1257 RPM", "1257 RPM"));
    std::string card = hardware("NVIDIA GeForce RTX 3070", "nvidia.png", sensor("GPU Fan 1", "Fan", "1500 RPM", nullptr));
    std::string tree = "{\"id\":0,\"Text\":\"Sensor\",\"Min\":\"Min\",\"Value\":\"Value\",\"Children\":[{\"id\":1,"
                       "\"Text\":\"DESKTOP\",\"Children\":[" + card + "," + cpu + "," + board + "]}]}";
    EXPECT_EQ(json(tree), "62 36 1257");
    // before 0.9.5: no RawValue, the formatted value in the user's unit
    std::string old = hardware("Nuvoton NCT6798D", "chip.png", sensor("System", "Temperature", "96.8 \\u00B0F", nullptr));
    EXPECT_EQ(json(old), "- 36 -");
    EXPECT_EQ(json(tree.substr(0, tree.size() / 2)), "- - -") << "cut short: the card closed, the processor did not";
    EXPECT_EQ(json(std::string(100000, '{')), "- - -");
    EXPECT_EQ(json(std::string(100000, '[') + "\"Text\":\"CPU Package"), "- - -");
    EXPECT_EQ(json("{\"Text\":\"CPU Package\",\"Type\":\"Temperature\",\"Value\":\"nan\",\"RawValue\":\"1e308\"}"),
              "- - -");
}

TEST(LibreHardwareMonitor, WmiRows)
{
    auto wmi = [](const std::string& fields) { return parsed(fields, readMonitorWmi, "root\\LibreHardwareMonitor"); };
    EXPECT_EQ(wmi("0:SensorType=Temperature\n0:Name=CPU Package\n0:Value#47.2\n0:Parent=/intelcpu/0\n"
                  "1:SensorType=Fan\n1:Name=GPU Fan\n1:Value#1500\n1:Parent=/nvidiagpu/0\n"
                  "2:SensorType=Fan\n2:Name=CPU Fan\n2:Value#987\n2:Parent=/lpc/nct6798d\n"
                  "3:SensorType=Temperature\n3:Name=System\n3:Value#33.5\n3:Parent=/lpc/nct6798d"),
              "47 34 987");
    EXPECT_EQ(wmi(""), "refused") << "no rows: the monitor quit";
}

TEST(AcpiZone, EachZoneCheckedOnItsOwn)
{
    const char* precise = "\\Thermal Zone Information(*)\\High Precision Temperature";
    const char* whole = "\\Thermal Zone Information(*)\\Temperature";
    EXPECT_EQ(parsed("0:\\_TZ.TZ00#3132\n1:\\_TZ.TZ01#4032", readZoneCounter, precise), "40 - -")
        << "a zone at 130 degrees hides nothing";
    EXPECT_EQ(parsed("0:\\_TZ.TZ00#318\n1:\\_TZ.TZ01#0", readZoneCounter, whole), "45 - -");
    EXPECT_EQ(parsed("0:CurrentTemperature#3186\n1:CurrentTemperature#3251", readZoneWmi, ""), "52 - -");
    EXPECT_EQ(parsed("", readZoneWmi, ""), "refused");
}

TEST(Hwmon, PickedFiles)
{
    EXPECT_EQ(parsed("0:cpu#45500\n1:board#-128000\n2:fan#1264", readHwmon, ""), "46 - 1264");
    EXPECT_EQ(parsed("0:cpu#300\n2:fan#65535", readHwmon, ""), "- - -") << "0.3 degrees, an absent fan";
}

// What monitors published on real PCs (tests/fixtures/captures), each read as its monitor
// publishes it: HWiNFO's listings as its shared memory, AIDA64's `reg query` output as its
// registry values. expected.txt gives, capture by capture, what a person would read off it.
TEST(RealCaptures, GiveTheReadingsExpected)
{
    const std::string folder = FIXTURES "/captures/";
    auto read = [&](const std::string& capture) {
        auto file = [&](const char* extension, std::string& content) {
            std::ifstream in(folder + capture + extension, std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            return in.is_open();
        };
        std::string content;
        HwinfoLayout live;
        live.polled = now;
        if (capture.rfind("hwinfo/", 0) == 0 && file(".txt", content)) {
            HwinfoListing listing = hwinfoListing(content);
            return parsed(hwinfoImage(listing.sensors, listing.readings, live), readHwinfoMemory);
        }
        if (file(".txt", content))
            return parsed(TextFields(content).published(), readAidaRegistry);
        if (file(".xml", content))
            return parsed(content, readAidaMemory);
        return file(".json", content) ? parsed(content, readMonitorJson) : "no such capture";
    };
    std::ifstream table(folder + "expected.txt");
    ASSERT_TRUE(table.is_open()) << folder;
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string capture, cpu, mb, fan, bar;
        if (line.empty() || line[0] == '#' || !(fields >> capture >> bar >> cpu >> mb >> fan))
            continue;
        EXPECT_EQ(read(capture), cpu + " " + mb + " " + fan) << capture;
        ++rows;
    }
    EXPECT_GT(rows, 0);
}

// What the registry hands over: any program can write these values, with any type and no
// terminator.
TEST(Registry, ValuesAsFields)
{
    const unsigned char text[] = "45.5", full[] = "0123456789012345678901234567890", dword[] = {0x39, 0x05, 0, 0};
    struct Case { unsigned long type, size; const unsigned char* data; bool taken; const char* text; } cases[] = {
        {1, 5, text, true, "45.5"}, {2, 4, text, true, "45.5"}, {1, 31, full, true, "0123456789012345678901234567890"},
        {1, 3, text, true, "45."}, {4, 4, dword, true, ""}, {4, 3, dword, false, ""}, {3, 31, full, false, ""},
        {7, 5, text, false, ""}, {11, 8, full, false, ""},
    };
    for (const auto& c : cases) {
        Field field(0, "ValueRaw0");
        EXPECT_EQ(fieldFromRegistry(c.type, c.data, c.size, field), c.taken) << "type " << c.type;
        if (c.taken) {
            EXPECT_STREQ(field.text, c.text) << "type " << c.type;
        }
    }
    Field number(0, "Value");
    fieldFromRegistry(4, dword, 4, number);
    EXPECT_TRUE(number.numeric && number.number == 1337);
}

TEST(TextFormats, NumbersWithinTheirBytes)
{
    struct Case { const char* text; int length; bool parsed; double value; } cases[] = {
        {"45,5 \xb0""C", 8, true, 45.5}, {"45.25", 5, true, 45.25}, {" -3", 3, true, -3}, {"1257 RPM", 8, true, 1257},
        {"45.5", 2, true, 45}, {"4", 0, false, 0}, {"", 0, false, 0}, {"abc", 3, false, 0},
        {"1234567890", 10, false, 0}, {".5", 2, false, 0}, {"1e308", 5, false, 0}, {"12abc", 5, false, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(parseDecimal(c.text, c.length, value), c.parsed) << c.text;
        if (c.parsed) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
}

// A web server's answer: only a whole "HTTP/1.x 200" whose headers end gives a body.
TEST(TextFormats, WebServerAnswers)
{
    struct Case { std::string answer; const char* body; } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}", "{}"}, {"HTTP/1.0 200 OK\r\n\r\n", ""},
        {"HTTP/1.1 200 OK\r\n\r\n[\r\n\r\n]", "[\r\n\r\n]"}, {"HTTP/1.1 401 Unauthorized\r\n\r\n{}", nullptr},
        {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", nullptr}, {"HTTP/2 200\r\n\r\n{}", nullptr},
        {"SSH-2.0-OpenSSH 200\r\n\r\n", nullptr}, {"HTTP/1.1 20", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        Bytes body(nullptr, 0);
        EXPECT_EQ(bodyOfAnswer(c.answer.data(), static_cast<unsigned long>(c.answer.size()), body), c.body != nullptr)
            << c.answer;
        if (c.body) {
            EXPECT_EQ(std::string(body.chars(), body.length()), c.body) << c.answer;
        }
    }
}
