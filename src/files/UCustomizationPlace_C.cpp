#include "files/UCustomizationPlace_C.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "files/PathUtilities.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Root may write /usr/bin, which must still not receive a settings file; the marker tells an
// installed program from one in a folder of its own.
bool IsPortable(const UCustomizationPlace_C::Facts_S& facts) {
    const std::string& folder = facts.programDirectory;
    if (Exists(folder + facts.fileName)) {
        return true;
    }
    const bool installed = !facts.installedMarker.empty() && Exists(folder + facts.installedMarker);
    return !installed && ::access(folder.c_str(), W_OK) == 0;
}

std::string WithSlash(std::string folder) {
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string UCustomizationPlace_C::ChooseDirectory(const Facts_S& facts) {
    if (!facts.programDirectory.empty() && IsPortable(facts)) {
        return facts.programDirectory;
    }
    return ConfigDirectory(facts);
}

std::string UCustomizationPlace_C::ConfigDirectory(const Facts_S& facts) {
    // A relative $XDG_CONFIG_HOME is not valid and is ignored, as an unset one is.
    if (!facts.configHome.empty() && facts.configHome[0] == '/') {
        return WithSlash(facts.configHome) + facts.subfolder + '/';
    }
    if (!facts.home.empty()) {
        return WithSlash(facts.home) + ".config/" + facts.subfolder + '/';
    }
    return "";
}

UCustomizationPlace_C::Facts_S UCustomizationPlace_C::ReadFacts(const char* fileName,
                                                                const char* installedMarker,
                                                                const char* subfolder) {
    Facts_S facts;
    facts.fileName = fileName;
    facts.installedMarker = installedMarker;
    facts.configHome = Environment("XDG_CONFIG_HOME");
    facts.home = Environment("HOME");
    facts.subfolder = subfolder;
    char programDirectory[4096];
    if (GetModuleDirectory(programDirectory, sizeof programDirectory)) {
        facts.programDirectory = programDirectory;
    }
    if (facts.home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid())) {
            facts.home = user->pw_dir ? user->pw_dir : "";
        }
    }
    return facts;
}
