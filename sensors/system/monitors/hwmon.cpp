#include "sensors/system/chips.h"
#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"

static const Pick none = {PickKind::None, 0, 0};

template <int count>
static bool startsWithAny(const char* name, const char* const (&prefixes)[count])
{
    for (const char* prefix : prefixes)
        if (labelStartsWith(name, prefix))
            return true;
    return false;
}

template <int count>
static bool equalsAny(const char* name, const char* const (&names)[count])
{
    for (const char* other : names)
        if (labelEquals(name, other))
            return true;
    return false;
}

// The Super I/O chips, with fan inputs, and the firmware's interfaces to them (chips.cpp).
static bool isBoardChip(const char* name)
{
    return chipFamily(name) != nullptr;
}

static bool isSuperIo(const char* name)
{
    const ChipFamily* family = chipFamily(name);
    return family && family->cpuFan > 0;
}

// A laptop's embedded controller, and the label of its CPU sensor where it has one, else its
// second: a Mac's SMC names the CPU die TC0D and the spot beside it TC0P.
struct Controller {
    const char* name;
    const char* cpu[2];
};
static const Controller controllers[] = {
    {"thinkpad", {"CPU", nullptr}}, {"dell_smm", {"CPU", nullptr}}, {"i8k", {"CPU", nullptr}}, // i8k: dell_smm before
    {"applesmc", {"TC0D", "TC0P"}}, {"asus", {}}, {"hp", {}}, {"eeepc", {}},
};

static const Controller* laptopController(const char* name)
{
    for (const Controller& controller : controllers)
        if (labelEquals(name, controller.name))
            return &controller;
    return nullptr;
}

static bool isCpuDriver(const char* name)
{
    static const char* const drivers[] = {"coretemp", "k10temp", "zenpower", "k8temp", "via_cputemp", "cpu_thermal"};
    return equalsAny(name, drivers);
}

static bool isGraphicsChip(const char* name)
{
    static const char* const chips[] = {"amdgpu", "radeon", "nouveau", "i915"};
    return equalsAny(name, chips);
}

// A channel that fails the check (-128, -55 and -263.2 degrees are common) is a broken or
// absent sensor, never a reading.
static bool plausible(bool readable, long millidegrees)
{
    int degrees;
    return readable && isTemperature(millidegrees / 1000.0, degrees);
}

// 65535 rpm, as an absent fan often reads, fails the check and so does not spin.
static bool spins(const Channel& fan)
{
    int rpm;
    return fan.readable && isFanSpeed(fan.value, rpm) && rpm > 0;
}

// A label such as "CPUTIN", "PECI Agent 0", "AMD TSI Addr 98h" or "CPU Temperature".
static bool namesProcessor(const char* label)
{
    static const char* const names[] = {"cpu", "peci", "amd tsi", "tsi"};
    return startsWithAny(label, names);
}

static bool namesGraphics(const char* label)
{
    static const char* const names[] = {"gpu", "video", "graphics", "vga"};
    return startsWithAny(label, names);
}

// The chips the rules read, and any chip whose fan label names the processor.
static bool keepsChip(const Chip& chip)
{
    if (isGraphicsChip(chip.name))
        return false;
    if (isCpuDriver(chip.name) || isBoardChip(chip.name) || laptopController(chip.name)
        || labelEquals(chip.name, "acpitz"))
        return true;
    for (int i = 0; i < chip.fanCount; ++i)
        if (cpuFanRank(chip.fans[i].label) > 0)
            return true;
    return false;
}

static Pick tempOf(const Chip& chip, const Channel& channel)
{
    return {PickKind::HwmonTemp, chip.number, channel.number};
}

static Pick fanOf(const Chip& chip, const Channel& channel)
{
    return {PickKind::HwmonFan, chip.number, channel.number};
}

// The first plausible temperature, chip by chip in order, that both tests accept.
template <typename ChipTest, typename ChannelTest>
static Pick firstTemp(const Inventory& found, ChipTest chipTest, ChannelTest channelTest)
{
    for (int i = 0; i < found.chipCount; ++i) {
        const Chip& chip = found.chips[i];
        if (!chipTest(chip.name))
            continue;
        for (int j = 0; j < chip.tempCount; ++j)
            if (plausible(chip.temps[j].readable, chip.temps[j].value) && channelTest(chip.temps[j]))
                return tempOf(chip, chip.temps[j]);
    }
    return none;
}

static auto driver(const char* name)
{
    return [name](const char* chip) { return labelEquals(chip, name); };
}

static auto labelled(const char* label)
{
    return [label](const Channel& channel) { return labelEquals(channel.label, label); };
}

static auto labelledFrom(const char* prefix)
{
    return [prefix](const Channel& channel) { return labelStartsWith(channel.label, prefix); };
}

static bool unlabelledTemp1(const Channel& channel)
{
    return channel.number == 1 && !channel.label[0];
}

static bool isPick(const Pick& source)
{
    return source.kind != PickKind::None;
}

static Pick zoneOfType(const Inventory& inventory, const char* type)
{
    for (int i = 0; i < inventory.zoneCount; ++i) {
        const Zone& zone = inventory.zones[i];
        if (labelEquals(zone.type, type) && plausible(zone.readable, zone.value))
            return {PickKind::ZoneTemp, zone.number, 0};
    }
    return none;
}

// k8temp has two sensors per core on some processors, and one of them may be stuck low.
static Pick hottestK8Core(const Inventory& inventory)
{
    for (int i = 0; i < inventory.chipCount; ++i) {
        const Chip& chip = inventory.chips[i];
        if (!labelEquals(chip.name, "k8temp"))
            continue;
        const Channel* hottest = nullptr;
        for (int j = 0; j < chip.tempCount; ++j) {
            const Channel& core = chip.temps[j];
            if (plausible(core.readable, core.value) && (!hottest || core.value > hottest->value))
                hottest = &core;
        }
        if (hottest)
            return tempOf(chip, *hottest);
    }
    return none;
}

// A laptop controller's CPU sensor, by the first label of its own that it has.
static Pick laptopCpu(const Inventory& inventory)
{
    for (int label = 0; label < 2; ++label)
        for (int i = 0; i < inventory.chipCount; ++i) {
            const Chip& chip = inventory.chips[i];
            const Controller* controller = laptopController(chip.name);
            for (int j = 0; controller && controller->cpu[label] && j < chip.tempCount; ++j)
                if (labelEquals(chip.temps[j].label, controller->cpu[label])
                    && plausible(chip.temps[j].readable, chip.temps[j].value))
                    return tempOf(chip, chip.temps[j]);
        }
    return none;
}

static Pick chooseCpu(const Inventory& inventory)
{
    auto coretemp = driver("coretemp");
    auto amd = [](const char* chip) { return labelEquals(chip, "k10temp") || labelEquals(chip, "zenpower"); };
    auto cpuTin = [](const Channel& channel) {
        return labelEquals(channel.label, "CPUTIN") || labelEquals(channel.label, "PECI Agent 0");
    };
    Pick candidates[] = {
        firstTemp(inventory, coretemp, labelled("Package id 0")),
        firstTemp(inventory, coretemp, labelled("Physical id 0")), // kernels before 3.x
        firstTemp(inventory, coretemp, labelledFrom("Core ")),
        firstTemp(inventory, amd, labelled("Tdie")),
        firstTemp(inventory, amd, labelled("Tctl")),
        firstTemp(inventory, amd, unlabelledTemp1),
        hottestK8Core(inventory),
        firstTemp(inventory, driver("via_cputemp"), labelled("Core 0")),
        firstTemp(inventory, driver("via_cputemp"), labelledFrom("Core ")),
        firstTemp(inventory, driver("cpu_thermal"), [](const Channel& channel) { return channel.number == 1; }),
        laptopCpu(inventory),
        firstTemp(inventory, driver("atk0110"), labelled("CPU Temperature")),
        firstTemp(inventory, driver("asus_wmi_sensors"), labelled("CPU Temperature")),
        firstTemp(inventory, driver("asusec"), labelled("CPU")),
        firstTemp(inventory, isBoardChip, cpuTin),
        zoneOfType(inventory, "x86_pkg_temp"),
    };
    for (const Pick& candidate : candidates)
        if (isPick(candidate))
            return candidate;
    return none;
}

// The temperature input its family says is the board's, unless its label names the processor.
static Pick familyBoardTemp(const Inventory& inventory)
{
    for (int i = 0; i < inventory.chipCount; ++i) {
        const Chip& chip = inventory.chips[i];
        const ChipFamily* family = chipFamily(chip.name);
        for (int j = 0; family && j < chip.tempCount; ++j) {
            const Channel& channel = chip.temps[j];
            if (channel.number == family->boardTemp && !namesProcessor(channel.label)
                && plausible(channel.readable, channel.value))
                return tempOf(chip, channel);
        }
    }
    return none;
}

static Pick chooseBoard(const Inventory& inventory)
{
    auto boardLabel = [](const Channel& channel) {
        static const char* const names[] = {"SYSTIN", "Motherboard", "System"};
        return startsWithAny(channel.label, names);
    };
    Pick candidates[] = {
        firstTemp(inventory, isBoardChip, boardLabel),
        firstTemp(inventory, driver("atk0110"), labelled("MB Temperature")),
        familyBoardTemp(inventory),
        firstTemp(inventory, driver("acpitz"), [](const Channel& channel) { return channel.number == 1; }),
        zoneOfType(inventory, "acpitz"),
    };
    for (const Pick& candidate : candidates)
        if (isPick(candidate))
            return candidate;
    return none;
}

struct FanPick {
    const Chip* chip = nullptr;
    const Channel* fan = nullptr;
    bool spins() const { return fan && ::spins(*fan); }
    Pick source() const { return fan ? fanOf(*chip, *fan) : none; }
};

// The first fan of the given rank (see cpuFanRank) that spins, else the first that can be read.
static FanPick fanNamedForCpu(const Inventory& inventory, int rank)
{
    FanPick first;
    for (int i = 0; i < inventory.chipCount; ++i) {
        const Chip& chip = inventory.chips[i];
        if (isGraphicsChip(chip.name))
            continue;
        for (int j = 0; j < chip.fanCount; ++j) {
            const Channel& fan = chip.fans[j];
            if (!fan.readable || cpuFanRank(fan.label) != rank)
                continue;
            if (spins(fan))
                return {&chip, &fan};
            if (!first.fan)
                first = {&chip, &fan};
        }
    }
    return first;
}

// The header where the board wires the CPU fan, on the first Super I/O chip with fans; else
// the first fan of a laptop's controller.
static FanPick cpuHeader(const Inventory& inventory)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < inventory.chipCount; ++i) {
            const Chip& chip = inventory.chips[i];
            if (pass == 0 ? !isSuperIo(chip.name) : !laptopController(chip.name))
                continue;
            int header = pass == 0 ? chipFamily(chip.name)->cpuFan : 1;
            FanPick pick;
            for (int j = 0; j < chip.fanCount && !(pick.fan && pick.fan->number == header); ++j) {
                const Channel& fan = chip.fans[j];
                if (fan.readable && !namesGraphics(fan.label) && (fan.number == header || !pick.fan))
                    pick = {&chip, &fan};
            }
            if (pick.fan)
                return pick;
        }
    return {};
}

// Another fan of the header's chip that spins, when the header itself does not.
static FanPick spinningBeside(const FanPick& header)
{
    const Chip& chip = *header.chip;
    for (int j = 0; j < chip.fanCount; ++j) {
        const Channel& fan = chip.fans[j];
        if (&fan != header.fan && spins(fan) && !namesGraphics(fan.label))
            return {&chip, &fan};
    }
    return {};
}

static Pick chooseFan(const Inventory& inventory)
{
    FanPick named = fanNamedForCpu(inventory, 2);
    if (named.spins())
        return named.source();
    FanPick optional = fanNamedForCpu(inventory, 1);
    if (named.fan)
        return optional.spins() ? optional.source() : named.source();
    FanPick header = cpuHeader(inventory);
    if (header.spins())
        return header.source();
    if (optional.spins())
        return optional.source();
    if (header.fan) {
        FanPick other = spinningBeside(header);
        return other.fan ? other.source() : header.source();
    }
    return optional.source();
}

// What a person expects to read off the machine, and so the rules, in order of preference.
//
// CPU: coretemp "Package id 0" ("Physical id 0" on old kernels) on whichever chip has it, as a
//   two-socket machine has one coretemp chip per socket; else the first core of the first
//   coretemp chip. k10temp or zenpower "Tdie" (Tctl is the fan-control value, on some
//   processors offset from the real one), else "Tctl", else an unlabelled temp1 (older
//   families). k8temp (Athlon 64, Opteron, Turion): its hottest core. via_cputemp "Core 0".
//   cpu_thermal temp1 (ARM boards). Without a CPU driver: a laptop controller's "CPU"
//   (thinkpad, dell_smm and its old name i8k), a Mac's SMC "TC0D" (CPU die) or "TC0P" (beside
//   it), atk0110 "CPU Temperature", asus_wmi_sensors
//   "CPU Temperature", asusec "CPU", a board chip's "CPUTIN" or "PECI Agent 0". Then the
//   x86_pkg_temp thermal zone.
//
// Board: a board chip's "SYSTIN", "Motherboard..." or "System..." (asus_wmi_sensors and
//   asusec included); atk0110 "MB Temperature" (ASUS boards before about 2012); a Winbond
//   chip's unlabelled temp1; an ITE or Fintek chip's temp1, or gigabyte_wmi's, the same sensor
//   read through the firmware. A channel that names the processor ("CPUTIN", "PECI...",
//   "AMD TSI...", "CPU...") is never the board. Then acpitz temp1, as hwmon or thermal zone.
//
// CPU fan: a fan whose label names the processor ("CPU FAN Speed", "cpu_fan", "Processor Fan"),
//   the first that spins, else the first; else the header where boards wire the CPU fan:
//   fan2 (CPUFANIN) on Nuvoton and Winbond chips, but fan1 on MSI's nct6683/nct6686/nct6687,
//   on ITE, Fintek and SMSC chips and on a laptop's controller (an Eee PC's included); when
//   that header reads 0 while another fan of the chip spins, that one. An optional second CPU header ("CPU_Opt") counts
//   only when no other CPU fan spins. Never a graphics card's fan.
//
// Values: a channel that fails the check in choice.h, or cannot be read, is a broken or absent
//   sensor and is passed over: a temperature outside 1..125 degrees, a fan above 30,000 rpm.
static Picks pickFiles(const Inventory& found)
{
    return {chooseCpu(found), chooseBoard(found), chooseFan(found)};
}

const HwmonRules hwmonRules = {keepsChip, pickFiles};

// The picked files, row 0 the CPU's, 1 the board's, 2 the fan's, each with its account as text
// (`coretemp "Package id 0"`) and its value: millidegrees Celsius, or rpm. The rules chose them,
// so each is offered at the top rank; the check still passes on each.
bool readHwmon(const Published& published, Choice& choice)
{
    for (int i = 0; i < published.fieldCount; ++i) {
        const Field& file = published.fields[i];
        if (!file.numeric)
            continue;
        if (file.row == 0)
            choice.offerCpu(file.text, file.number / 1000, rank::tdie);
        else if (file.row == 1)
            choice.offerBoard(file.text, file.number / 1000, rank::motherboard);
        else if (file.row == 2)
            choice.offerFan(file.text, file.number, rank::cpuFan);
    }
    return published.fieldCount > 0;
}
