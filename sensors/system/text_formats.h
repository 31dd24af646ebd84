// The monitors that publish text: AIDA64's XML fragments (shared memory) and id/value pairs
// (registry), HWiNFO's gadget values (registry) and LibreHardwareMonitor's sensor tree (JSON
// from its web server). Parsed within the bytes given, never past them, with no recursion:
// a text cut short or full of unfinished tags ends the parse, not the program.
#pragma once

#include "sensors/system/sensor_choice.h"

// One AIDA64 entry: its id ("TCPUPKG"), label and value as text. Only the ids that say what
// they are count: the CPU package TCPUPKG before the CPU TCPU, the board TMOBO, the CPU fan FCPU.
void offerAidaEntry(SensorChoice& choice, const char* id, const char* label, const char* value);

// AIDA64's shared memory: "<temp><id>TCPU</id><label>CPU</label><value>53</value></temp>...".
void parseAidaXml(const char* text, unsigned long length, SensorChoice& choice);

// One reading of HWiNFO's gadget output: SensorN, LabelN, ValueRawN and ValueN, whose unit
// ("45 °C", "113 °F", "1257 RPM") says what it is.
void offerGadgetEntry(SensorChoice& choice, const char* sensor, const char* label, const char* raw, const char* value);

// LibreHardwareMonitor's data.json: sensors by their "Text", their "Type" or unit, and the
// "RawValue" (from 0.9.5 on) else the formatted "Value" ("45,0 °C", "113.0 °F"). A sensor under
// a graphics card's node is the card's.
void parseMonitorJson(const char* text, unsigned long length, SensorChoice& choice);
