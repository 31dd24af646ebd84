#include "sensors/system/sysfs_sensors.h"

#include "sensors/system/sysfs_file.h"
#include "sensors/system/sysfs_scan.h"
#include "sensors/system/units.h"

// The scan is only needed while the library loads; it is too large for a loader thread's
// stack, so it lives here.
static Inventory found;

static void locate(const char* root, const Source& source, char (&path)[MAX_PATH], bool& millidegrees)
{
    PathText file(root);
    switch (source.kind) {
    case SourceKind::None:
        path[0] = '\0';
        return;
    case SourceKind::HwmonTemp:
        file.add("\\class\\hwmon\\hwmon").add(source.folder).add("\\temp").add(source.channel).add("_input");
        break;
    case SourceKind::HwmonFan:
        file.add("\\class\\hwmon\\hwmon").add(source.folder).add("\\fan").add(source.channel).add("_input");
        break;
    case SourceKind::ZoneTemp:
        file.add("\\class\\thermal\\thermal_zone").add(source.folder).add("\\temp");
        break;
    }
    lstrcpynA(path, file.c_str(), MAX_PATH);
    millidegrees = source.kind != SourceKind::HwmonFan;
}

// A root on a drive letter needs that drive mapped; Wine's Z: usually is, but a user can
// remove it.
static bool rootPresent(const char* root)
{
    if (root[0] && root[1] == ':') {
        char drive[] = {root[0], ':', '\\', '\0'};
        if (!pathExists(drive))
            return false;
    }
    return pathExists(PathText(root).add("\\class").c_str());
}

void SysfsSensors::open(const char* root)
{
    cpu = mb = fan = File{};
    if (!rootPresent(root))
        return;
    scanSysfs(root, found);
    Sources chosen = chooseSources(found);
    locate(root, chosen.cpu, cpu.path, cpu.millidegrees);
    locate(root, chosen.mb, mb.path, mb.millidegrees);
    locate(root, chosen.fan, fan.path, fan.millidegrees);
}

int SysfsSensors::read(const File& file)
{
    long value;
    if (!file.path[0] || !readAttributeNumber(file.path, value))
        return 0;
    return file.millidegrees ? degreesFromMillidegrees(value) : static_cast<int>(value);
}
