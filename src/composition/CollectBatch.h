#pragma once

#include <string>
#include <vector>

// One picture file of a batch, and its name inside the argument it came from: the path below a
// folder argument ('/' separated), or the file name of a file argument.
struct UBatchEntry_S {
    std::string path;
    std::string name;
};

// Expands the arguments (files and folders, at any depth) into the picture files among them,
// in byte order of their full paths or, with `natural`, with numbers ordered by value. A file
// reached through two arguments is listed twice. Two different files of two arguments would
// share a name, and an animation made of such names would take frames from both: every name
// of each argument concerned then starts with the argument ("a/walk-1.png", "b/walk-1.png"),
// and `warning` (when given) tells the first two such paths. `folders` (when given) gets every
// folder walked, in the order reached. Errors are the file collection's.
std::vector<UBatchEntry_S> CollectBatch(const std::vector<std::string>& arguments, bool natural,
                                        std::string* warning = nullptr,
                                        std::vector<std::string>* folders = nullptr);
