#include "composition/data/DataNames.h"

#include <nlohmann/json.hpp>

#include <algorithm>

std::string AsWritten(const std::string& name) {
    if (std::ranges::none_of(name, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return name;
    }
    using json = nlohmann::json;
    const std::string quoted = json(name).dump(-1, ' ', false, json::error_handler_t::replace);
    return json::parse(quoted).get<std::string>();
}

std::string UUniqueNames_C::Take(const std::string& name) {
    std::string unique = name;
    int32_t& next = nextSuffix.try_emplace(name, 2).first->second;
    while (!taken.insert(unique).second) {
        unique = name + "~" + std::to_string(next++);
    }
    return unique;
}

bool UUniqueNames_C::Holds(const std::string& name) const {
    return taken.contains(name);
}

std::vector<std::vector<std::string>> MakeUniqueNames(const std::vector<USheetDataPage_S>& pages,
                                                      const USpelling_F& spell) {
    UUniqueNames_C unique;
    std::vector<std::vector<std::string>> names(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const USheetDataFrame_S& frame : pages[p].frames) {
            names[p].push_back(unique.Take(spell(frame.name)));
        }
    }
    return names;
}
