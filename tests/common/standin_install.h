#pragma once
// Installing the vendor stand-ins into the test's own Wine prefix, where the real drivers put
// their libraries (the system directory).
#include <cstddef>
#include <string>
#include <vector>

// The folder of the running test program.
std::string ModuleFolder();
// True when this (64-bit) process drives the 32-bit exe in Wine's WoW64 mode (ORVA_WOW64=1):
// the stand-ins are then the 32-bit builds (build/win32/standins/), installed into the
// prefix's 32-bit system folder (syswow64), and the Intel object is registered by the 32-bit
// regsvr32.
bool DrivesWow64Program();
// The full Windows path of a stand-in built into build/<preset>/standins/.
std::string StandinPath(const char* fileName);
// Copies a file into the system directory under the given name; false when the copy failed.
bool InstallIntoSystemDirectory(const std::string& source, const char* installName);
// Removes it again.
void RemoveFromSystemDirectory(const char* installName);
// Loads the copy installed in the system directory, calls its export of that name (one that
// takes nothing and returns an HRESULT, as DllRegisterServer does) and unloads it again. The
// export's result, or a failing HRESULT when the copy or the export is missing.
long CallInstalledEntry(const char* installName, const char* entryName);
// Sets (or, with null, removes) an environment variable of this process, which programs it
// starts inherit: the stand-ins read their scenario from there.
void SetScenario(const char* name, const char* value);

// The stand-ins' log: a file in the temporary folder that ORVA_STANDIN_LOG names while this
// object exists, so the stand-ins this process loads and the programs it starts write to it.
// It starts empty and is removed again at the end.
class StandinLog {
public:
    StandinLog();
    ~StandinLog();
    StandinLog(const StandinLog&) = delete;
    StandinLog& operator=(const StandinLog&) = delete;

    void Clear() const;
    std::vector<std::string> Lines() const;
    // All lines in one text, for failure messages.
    std::string Text() const;
    // How many lines start with `start`.
    size_t Count(const std::string& start) const;
    // The position of the first line that starts with `start`; Lines().size() when none does.
    size_t Find(const std::string& start) const;

private:
    std::string m_path;
};

// The vendor driver interfaces of the machine a test runs on: stand-ins installed into the
// system directory under the drivers' names, the Intel object registered, and the scenario in
// the environment. Everything goes again when the object ends. A library that this process
// still holds is the same stand-in; it is neither replaced nor removed.
class StandinDrivers {
public:
    StandinDrivers() = default;
    ~StandinDrivers();
    StandinDrivers(const StandinDrivers&) = delete;
    StandinDrivers& operator=(const StandinDrivers&) = delete;

    // A build of the ATI library stand-in (atipdlxx.dll or a variant that lacks exports).
    bool InstallAti(const char* variant = "atipdlxx.dll");
    bool InstallNvapi();
    void RemoveNvapi();
    // The Intel object's server, installed and registered under its ProgID.
    bool RegisterIntel();
    bool UnregisterIntel();
    // Sets a scenario variable; null removes it.
    void Scenario(const std::string& name, const char* value);

private:
    std::vector<std::string> m_scenario;
    bool m_intelRegistered = false;
};
