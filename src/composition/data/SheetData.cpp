#include "composition/data/SheetData.h"

#include "composition/data/UDataForm_S.h"

bool HoldsEveryPage(NS_Data::UDataOptions_S::Form_E format) {
    return GetDataForm(format).holdsEveryPage;
}

std::string FindDataFormatProblem(const NS_Data::UComposeOptions_S& options) {
    const UDataForm_S& form = GetDataForm(options.data.form);
    if (options.packing.rotate && form.refusesRotate) {
        return std::string("--data-format ") + form.name + " " + form.refusesRotate +
               "; leave out --rotate";
    }
    // A browser draws a PNG as straight alpha, whatever the page asks.
    if (options.pixels.premultiply && options.data.form == NS_Data::UDataOptions_S::Css) {
        return "--data-format css is drawn by browsers, which read a sheet as straight alpha; "
               "leave out --premultiply";
    }
    return {};
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
