#include "composition/data/SheetData.h"

#include "composition/data/UDataForm_S.h"

bool HoldsEveryPage(NS_Data::UDataOptions_S::Form_E format) {
    return GetDataForm(format).holdsEveryPage;
}

std::string MakeDataPath(const std::string& sheet, NS_Data::UDataOptions_S::Form_E form) {
    const std::size_t slash = sheet.rfind('/');
    const std::size_t dot = sheet.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return sheet.substr(0, hasExtension ? dot : sheet.size()) + GetDataForm(form).extension;
}

std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UComposeOptions_S& options,
                            std::vector<std::string>& warnings) {
    return GetDataForm(options.data.form).write(pages, options.data, warnings);
}

std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages,
                            const NS_Data::UComposeOptions_S& options) {
    std::vector<std::string> warnings;
    return FormatSheetData(pages, options, warnings);
}
