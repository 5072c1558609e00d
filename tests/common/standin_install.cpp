#include "standin_install.h"

#include <windows.h>

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string StandinPath(const char* fileName) {
    // Test programs live in build/<preset>/tests/<suite>/.
    return ModuleFolder() + "\\..\\..\\standins\\" + fileName;
}

static std::string SystemPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

bool InstallIntoSystemDirectory(const std::string& source, const char* installName) {
    return ::CopyFileA(source.c_str(), SystemPath(installName).c_str(), FALSE) != 0;
}

void RemoveFromSystemDirectory(const char* installName) { ::DeleteFileA(SystemPath(installName).c_str()); }

void SetScenario(const char* name, const char* value) { ::SetEnvironmentVariableA(name, value); }
