#include "standin_install.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

bool DrivesWow64Program() {
    char value[8] = {};
    return ::GetEnvironmentVariableA("ORVA_WOW64", value, sizeof value) && value[0] == '1';
}

std::string StandinPath(const char* fileName) {
    // Test programs live in build/<preset>/tests/<suite>/; the 32-bit builds in build/win32/.
    const char* folder = DrivesWow64Program() ? "\\..\\..\\..\\win32\\standins\\" : "\\..\\..\\standins\\";
    return ModuleFolder() + folder + fileName;
}

static std::string SystemPath(const char* name) {
    char folder[MAX_PATH] = {};
    if (DrivesWow64Program()) ::GetSystemWow64DirectoryA(folder, MAX_PATH);
    else ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// The 32-bit regsvr32 (un)registers a 32-bit server, which this 64-bit process cannot load.
static long RunWow64Regsvr32(const char* installName, bool unregister) {
    const std::string command = "\"\"" + SystemPath("regsvr32.exe") + "\" /s " + (unregister ? "/u " : "") + "\"" +
                                SystemPath(installName) + "\"\"";
    return std::system(command.c_str()) == 0 ? S_OK : E_FAIL;
}

bool InstallIntoSystemDirectory(const std::string& source, const char* installName) {
    return ::CopyFileA(source.c_str(), SystemPath(installName).c_str(), FALSE) != 0;
}

void RemoveFromSystemDirectory(const char* installName) { ::DeleteFileA(SystemPath(installName).c_str()); }

void SetScenario(const char* name, const char* value) { ::SetEnvironmentVariableA(name, value); }

long CallInstalledEntry(const char* installName, const char* entryName) {
    if (DrivesWow64Program()) {
        const std::string entry(entryName);
        if (entry == "DllRegisterServer" || entry == "DllUnregisterServer")
            return RunWow64Regsvr32(installName, entry == "DllUnregisterServer");
        return E_NOTIMPL;
    }
    HMODULE module = ::LoadLibraryA(SystemPath(installName).c_str());
    if (!module) return HRESULT_FROM_WIN32(::GetLastError());
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(::GetProcAddress(module, entryName)));
    const HRESULT result = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ::FreeLibrary(module);
    return result;
}

static std::string TempFilePath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

static bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

StandinLog::StandinLog() : m_path(TempFilePath("orva_standin.log")) {
    Clear();
    SetScenario("ORVA_STANDIN_LOG", m_path.c_str());
}

StandinLog::~StandinLog() {
    SetScenario("ORVA_STANDIN_LOG", nullptr);
    Clear();
}

void StandinLog::Clear() const { ::DeleteFileA(m_path.c_str()); }

std::vector<std::string> StandinLog::Lines() const {
    std::ifstream file(m_path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string StandinLog::Text() const {
    std::string text;
    for (const std::string& line : Lines()) text += line + "\n";
    return text;
}

size_t StandinLog::Count(const std::string& start) const {
    size_t count = 0;
    for (const std::string& line : Lines()) count += StartsWith(line, start);
    return count;
}

size_t StandinLog::Find(const std::string& start) const {
    const std::vector<std::string> lines = Lines();
    size_t index = 0;
    while (index < lines.size() && !StartsWith(lines[index], start)) ++index;
    return index;
}

static constexpr const char* kIntelServer = "igfxstandin.dll";

// A library this process holds cannot be replaced, and it is the stand-in already.
static bool InstallUnlessLoaded(const char* standin, const char* installName) {
    return ::GetModuleHandleA(installName) || InstallIntoSystemDirectory(StandinPath(standin), installName);
}

StandinDrivers::~StandinDrivers() {
    if (m_intelRegistered) UnregisterIntel();
    for (const char* name : {"atipdlxx.dll", "nvapi.dll", kIntelServer})
        if (!::GetModuleHandleA(name)) RemoveFromSystemDirectory(name);
    for (const std::string& name : m_scenario) SetScenario(name.c_str(), nullptr);
}

bool StandinDrivers::InstallAti(const char* variant) { return InstallUnlessLoaded(variant, "atipdlxx.dll"); }

bool StandinDrivers::InstallNvapi() { return InstallUnlessLoaded("nvapi.dll", "nvapi.dll"); }

void StandinDrivers::RemoveNvapi() { RemoveFromSystemDirectory("nvapi.dll"); }

bool StandinDrivers::RegisterIntel() {
    m_intelRegistered = InstallUnlessLoaded(kIntelServer, kIntelServer) &&
                        CallInstalledEntry(kIntelServer, "DllRegisterServer") == S_OK;
    return m_intelRegistered;
}

bool StandinDrivers::UnregisterIntel() {
    m_intelRegistered = false;
    return CallInstalledEntry(kIntelServer, "DllUnregisterServer") == S_OK;
}

void StandinDrivers::Scenario(const std::string& name, const char* value) {
    SetScenario(name.c_str(), value);
    m_scenario.push_back(name);
}
