#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "files/UFileIdentity_C.h"

namespace NS_Data {

// The files one compose writes: the sheet and its data file, or with multipack the numbered
// sheets "SHEET-N.png" and data files "DATA-N.json" beside the names given (one data file for
// the forms that hold every sheet). Each is known by its identity at the time this is made, so
// that no spelling of it is taken for a picture, and a file there now can be told apart: an
// earlier run's output, which may be replaced, or a picture, which never is.
class USheetTargets_C {
public:
    explicit USheetTargets_C(const UComposeOptions_S& options);

    // The sheet's path as a data file at `dataFile` names it: relative to the data file's
    // folder, or, for a sheet on standard output, the data file's own name with ".png".
    static std::string GetImagePath(const std::string& sheetFile, const std::string& dataFile);

    // `path` with a variant's suffix before its extension ("sheet@2x.png"); standard output and
    // no path stay as they are.
    static std::string AddSuffix(const std::string& path, const std::string& suffix);

    std::string GetSheetPath(std::size_t number) const;
    std::string GetDataPath(std::size_t number) const;
    // The forms that hold every sheet of a multipack write one data file.
    bool HasOneDataFile() const { return oneDataFile; }

    // Any file this run may write.
    bool IsTarget(const std::string& path) const;
    // The same for a path looked up already (UFileIdentity_C::Find), as the pictures of a project
    // are once for the files of all its sheets.
    bool IsTarget(const std::string& path, const struct stat* found) const;
    bool IsDataFile(const std::string& path) const;
    // Two of the run's own files that would be one file; empty when none would.
    std::string FindOverlap() const;
    // Whether `path`, a file this run may write, is an earlier run's sheet: marked as Tavrin's,
    // or named by the data file that run wrote beside it.
    bool IsEarlierSheet(const std::string& path) const;
    // The numbered files from `count` on that an earlier, larger set left: those this run can
    // prove an earlier run wrote (IsEarlierSheet; a data file that names its sheet), and in
    // `unproven` those it cannot, which are left alone.
    std::vector<std::string> FindStale(std::size_t count, std::vector<std::string>& unproven) const;

private:
    bool IsDataFile(const std::string& path, const struct stat* found) const;
    bool IsNumbered(const std::string& path, const std::string& pattern,
                    const UFileIdentity_C& folder) const;
    // The data file beside sheet `path`: the one file, or the one of the sheet's number.
    std::string GetDataFileOf(const std::string& sheetPath) const;

    std::string sheetPath;
    std::string dataPath;
    bool multipack;
    bool oneDataFile;
    UFileIdentity_C sheet;
    UFileIdentity_C data;
    UFileIdentity_C sheetFolder;
    UFileIdentity_C dataFolder;
};

}  // namespace NS_Data
