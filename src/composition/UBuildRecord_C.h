#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace NS_Data {

// What one sheet's files were built from, kept in the first sheet (SheetFile::AppendRecord), so
// that a later build can tell at the cost of a stat per picture that it would write the same
// files: the program's version, the options (CanonicalText), the pictures in order with their
// size, time and content hash, the folders walked, and the other files of the set: further
// sheets, which carry the build's id, and data files with their size and hash.
class UBuildRecord_C {
public:
    // `inputs` are the picture paths in the order the build reads them, `named` the same
    // pictures as the record names them (from the sheet's folder, so that a build from another
    // working folder or a project finds the same record), `folders` those walked, so named.
    UBuildRecord_C(std::string version, std::string options, std::vector<std::string> inputs,
                   std::vector<std::string> named, std::vector<std::string> folders);

    // Reads each picture's size, time and content, as the build is about to read them: a
    // picture changed during the build then no longer matches.
    void ReadInputs();
    // The set's other files, named from the first sheet's folder.
    void AddSheet(std::string path) { sheets.push_back(std::move(path)); }
    void AddData(std::string path, const std::string& bytes);

    // The text for the first sheet, and the one for each further sheet.
    std::string GetFirstText() const;
    std::string GetFurtherText() const;

    // Whether the files of an earlier build at `firstSheet` are those this build would write:
    // its record is whole and names the same version, options, pictures and folders, each
    // picture has its size and time or else its content, and every other file is there whole.
    // `sheets` is then the number of sheets of the set.
    bool IsUpToDate(const std::string& firstSheet, std::size_t& sheets) const;

private:
    struct UInput_S {
        std::string path;
        std::string named;
        int64_t size = -1;
        int64_t time = 0;
        uint64_t hash = 0;
    };
    struct UData_S {
        std::string path;
        int64_t size = 0;
        uint64_t hash = 0;
    };

    std::string GetId() const;
    // Whether the pictures now are those of `earlier`, by index.
    static bool InputsMatch(const std::vector<UInput_S>& earlier);
    static bool DataMatches(const std::string& folder, const std::vector<UData_S>& data);
    static bool SheetsMatch(const std::string& folder, const std::vector<std::string>& paths,
                            const std::string& id);

    std::string version;
    std::string options;
    std::vector<UInput_S> inputs;
    std::vector<std::string> folders;
    std::vector<std::string> sheets;
    std::vector<UData_S> data;
};

}  // namespace NS_Data
