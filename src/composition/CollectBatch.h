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
// reached through two arguments is listed twice. Errors are the file collection's.
std::vector<UBatchEntry_S> CollectBatch(const std::vector<std::string>& arguments, bool natural);
