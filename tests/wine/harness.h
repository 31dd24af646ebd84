// Runs the real quellor.exe in a folder of its own and watches it from outside, the way a
// user (or Windows) would: its windows, its message boxes, its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/windows.h"

// A finished message box: what it said and how it looked.
struct MessageBoxSeen {
    std::string caption, text;
    bool hasOwner = false, hasErrorIcon = false;
};

class QuellorRun {
public:
    // A fresh folder holding quellor.exe (under exeName) and the probe library variant named
    // ("full", "no_cpu", "no_mb", "no_fan", "none") or a fast library ("sweep", "instant", for
    // a SampleDriver); an empty name puts no library there.
    explicit QuellorRun(const std::string& library = "full", const std::string& exeName = "quellor.exe");
    ~QuellorRun();

    // Three lines of probe.txt: the readings of each export, call after call; then any lines
    // that play the platform ("shell lost ok", "teardown": see probe_sensor.cpp).
    void setReadings(const std::string& cpu, const std::string& mb, const std::string& fan,
                     const std::string& platform = "");
    void writeFile(const std::string& name, const std::string& content);
    std::string readFile(const std::string& name) const; // "" when missing

    // Starts quellor.exe with the argument text, in workingDir (the run's folder by default).
    void start(const std::string& arguments = "", const std::string& workingDir = "");
    // The main window once its creation is over, or null when the process ended or a box
    // came up first.
    HWND window();
    // Waits for the process to show a message box, reads it, presses OK; false if none came.
    bool dismissMessageBox(MessageBoxSeen& seen);
    // Counts message boxes currently open in the process.
    int openMessageBoxes() const;
    // Closes the window as its close box does and waits for the exit code (-1: timed out).
    int close();
    int waitForExit(DWORD ms = 15000);
    bool running() const;

    // One sample, as the timer would run it; returns when it is done.
    void sample();
    std::string fieldText(int id);
    // calls.txt: each sensor call and each record that reached Shell_NotifyIconA.
    std::vector<std::string> calls() const;
    std::vector<std::string> notifications() const; // only the "N ..." lines
    std::string commands() const;                   // theirs in order: "add modify delete"

    const std::string& folder() const { return folder_; }
    PROCESS_INFORMATION process{};

private:
    std::string folder_, exe_;
    HWND window_ = nullptr;
    bool probe_ = false;
};

// A record of Quellor's icon as the probe writes it: the structure's first version (88 bytes
// in the 32-bit build), id 1, message, icon and tip set (flags 7), the callback message
// WM_USER + 1, and the tip with "\n" for each line feed. commandOf gives its "add", "modify"...
std::string iconRecord(const std::string& command, int face, const std::string& tip);
std::string commandOf(const std::string& record);
// Takes Quellor's icon away, as a shell does that lost it or went with it.
void takeIconAway(HWND window);

// The icons of Wine's notification area, each a window of its own. Where it cannot be looked
// into, the test fails: a count it cannot take must not pass for an empty area.
std::vector<HWND> trayIcons();

std::string windowText(HWND window);
