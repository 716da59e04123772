// Any bytes as frame names, one name per zero-separated piece, with their places drawn from the
// bytes too. Every JSON form of the data file must read back with one entry per frame: the
// forms keyed by name must keep every name apart however its bytes are spoilt, and the
// animations the names make must never break the file.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "composition/data/SheetData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<USheetDataFrame_S> frames(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            const int32_t side = static_cast<int32_t>(frames.size() % 7) + 1;
            frames.push_back({{}, {}, static_cast<int32_t>(i % 3) - 1});
            frames.back().place.onSheet = URect_C::FromSize({side, side});
        } else {
            frames.back().name += static_cast<char>(data[i]);
        }
    }
    NS_Data::UComposeOptions_S options;
    using Form = NS_Data::UDataOptions_S;
    for (const auto format : {Form::JsonHash, Form::JsonArray, Form::Aseprite, Form::Melonjs}) {
        options.data.form = format;
        const std::string text = FormatSheetData({{{"s.png", 8, 8, 1, {}, {}}, frames}}, options);
        const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
        if (document.is_discarded() || document["frames"].size() != frames.size()) {
            std::abort();
        }
    }
    return 0;
}
