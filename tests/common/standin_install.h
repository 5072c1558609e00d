#pragma once
// Installing the vendor stand-ins into the test's own Wine prefix, where the real drivers put
// their libraries (the system directory).
#include <string>

// The folder of the running test program.
std::string ModuleFolder();
// The full Windows path of a stand-in built into build/<preset>/standins/.
std::string StandinPath(const char* fileName);
// Copies a file into the system directory under the given name; false when the copy failed.
bool InstallIntoSystemDirectory(const std::string& source, const char* installName);
// Removes it again.
void RemoveFromSystemDirectory(const char* installName);
// Sets (or, with null, removes) an environment variable of this process, which programs it
// starts inherit: the stand-ins read their scenario from there.
void SetScenario(const char* name, const char* value);
