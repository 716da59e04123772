#pragma once

#include <sys/stat.h>

#include <string>

// Which file a path names at the time this is made: its device and inode when it exists, else
// the path itself, made absolute and plain. "-" is standard output, known only when that is a
// regular file. Tells whether another path names the same file, however it is spelt.
class UFileIdentity_C {
public:
    explicit UFileIdentity_C(const std::string& path);

    bool Is(const char* candidate) const;
    // The same for a candidate looked up already: `found` is what Find gave for it, so that a
    // path compared with the files of many sheets is looked up once.
    bool Is(const char* candidate, const struct stat* found) const;
    // What stat() finds at `path`, kept in `status`; null when nothing is there.
    static const struct stat* Find(const char* path, struct stat& status);

private:
    static std::string Normal(const std::string& text);

    struct stat status {};
    bool exists;
    std::string normalPath;
};
