#include "composition/UProject_C.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>

#include "files/PathUtilities.h"
#include "foundation/ShownText.h"

namespace NS_Data {
namespace {

// A value as read, before its meaning is checked, with the line it starts on.
struct UNode_S {
    enum Type_E { Null, Boolean, Number, Text, Object, Array };

    Type_E type = Null;
    int64_t line = 0;
    bool on = false;
    std::string text;
    // The key of a member of an object; an object's members in their order.
    std::string name;
    std::vector<UNode_S> members;
    std::vector<UNode_S> items;
};

UNode_S MakeNode(UNode_S::Type_E type, int64_t line, bool on = false, std::string text = {}) {
    UNode_S node;
    node.type = type;
    node.line = line;
    node.on = on;
    node.text = std::move(text);
    return node;
}

// Where the reader is: the line of the last character it took, and of the next. Every event
// comes once its value's last character is taken (a number's, one past it, which is still on the
// number's line: a line break belongs to the line it ends).
struct UPlace_S {
    int64_t last = 1;
    int64_t next = 1;
};

// Hands the text to the JSON reader a character at a time and counts the lines as it goes; the
// reader gives its events no position of their own.
class ULineCounter_C {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    ULineCounter_C(const char* start, UPlace_S* counts) : at(start), place(counts) {}
    reference operator*() const { return *at; }
    ULineCounter_C& operator++() {
        place->last = place->next;
        place->next += *at++ == '\n' ? 1 : 0;
        return *this;
    }
    ULineCounter_C operator++(int) {
        ULineCounter_C before = *this;
        ++*this;
        return before;
    }
    bool operator==(const ULineCounter_C& other) const { return at == other.at; }

private:
    const char* at;
    UPlace_S* place;
};

std::string Located(const std::string& key, int64_t line) {
    return key.empty() ? NS_Base::FillIn(NS_Base::ShownText("UProject_C", "(line %1)"),
                                         {std::to_string(line)})
                       : NS_Base::FillIn(NS_Base::ShownText("UProject_C", "%1 (line %2)"),
                                         {key, std::to_string(line)});
}

// Builds the tree of nodes from the reader's events; a key given twice in one object is refused
// as it is read, since only one of its values could be kept.
class UTreeBuilder_C : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit UTreeBuilder_C(const UPlace_S& counts) : place(counts) {}
    UNode_S root;

    bool null() override { return Add(MakeNode(UNode_S::Null, place.last)); }
    bool boolean(bool value) override { return Add(MakeNode(UNode_S::Boolean, place.last, value)); }
    bool number_integer(number_integer_t value) override { return Number(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Number(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override { return Number(text); }
    bool string(string_t& value) override {
        return Add(MakeNode(UNode_S::Text, place.last, false, value));
    }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return Open(UNode_S::Object); }
    bool start_array(std::size_t) override { return Open(UNode_S::Array); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool key(string_t& name) override;
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override;

private:
    bool Number(std::string text) {
        return Add(MakeNode(UNode_S::Number, place.last, false, std::move(text)));
    }
    bool Open(UNode_S::Type_E type);
    bool Close() {
        open.pop_back();
        paths.pop_back();
        return true;
    }
    bool Add(UNode_S node);
    // The path of `name` in the object open now.
    std::string Path(const std::string& name) const {
        return paths.empty() || paths.back().empty() ? name : paths.back() + "." + name;
    }

    const UPlace_S& place;
    std::vector<UNode_S*> open;
    std::vector<std::string> paths;
    std::string pendingKey;
    int64_t pendingLine = 0;
};

bool UTreeBuilder_C::key(string_t& name) {
    for (const auto& member : open.back()->members) {
        if (member.name == name) {
            throw UProject_C::MakeError(4, {Located(Path(name), place.last)});
        }
    }
    pendingKey = name;
    pendingLine = place.last;
    return true;
}

bool UTreeBuilder_C::parse_error(std::size_t, const std::string&,
                                 const nlohmann::detail::exception& error) {
    // "[json.exception.parse_error.101] parse error at line 3, column 5: syntax error ...".
    const std::string text = error.what();
    const std::size_t colon = text.find(": ");
    throw UProject_C::MakeError(
        2, {Located("", place.last), colon == std::string::npos ? text : text.substr(colon + 2)});
}

bool UTreeBuilder_C::Open(UNode_S::Type_E type) {
    Add(MakeNode(type, place.last));
    UNode_S* parent = open.empty() ? nullptr : open.back();
    paths.push_back(!parent ? std::string()
                    : parent->type == UNode_S::Object
                        ? Path(pendingKey)
                        : paths.back() + "[" + std::to_string(parent->items.size() - 1) + "]");
    open.push_back(!parent                           ? &root
                   : parent->type == UNode_S::Object ? &parent->members.back()
                                                     : &parent->items.back());
    return true;
}

bool UTreeBuilder_C::Add(UNode_S node) {
    if (open.empty()) {
        root = std::move(node);
    } else if (open.back()->type == UNode_S::Object) {
        node.line = pendingLine;
        node.name = pendingKey;
        open.back()->members.push_back(std::move(node));
    } else {
        open.back()->items.push_back(std::move(node));
    }
    return true;
}

std::string TypeName(UNode_S::Type_E type) {
    const char* const names[] = {
        TR_NOOP("UProject_C", "null"),      TR_NOOP("UProject_C", "true or false"),
        TR_NOOP("UProject_C", "a number"),  TR_NOOP("UProject_C", "a text"),
        TR_NOOP("UProject_C", "an object"), TR_NOOP("UProject_C", "a list")};
    return NS_Base::ShownText("UProject_C", names[type]);
}

// Refuses `node` unless it is of `type`.
void Expect(const UNode_S& node, UNode_S::Type_E type, const std::string& key) {
    if (node.type != type) {
        throw UProject_C::MakeError(5,
                                    {Located(key, node.line), TypeName(type), TypeName(node.type)});
    }
}

// An option's value: true or false for a flag, a number or a text for a value, a list of
// numbers and texts for an option given several times.
UProjectValue_S ReadOption(const UNode_S& node, const std::string& key) {
    UProjectValue_S value;
    value.key = key;
    value.line = node.line;
    if (node.type == UNode_S::Boolean) {
        value.type = UProjectValue_S::Boolean;
        value.on = node.on;
    } else if (node.type == UNode_S::Number || node.type == UNode_S::Text) {
        value.type = node.type == UNode_S::Number ? UProjectValue_S::Number : UProjectValue_S::Text;
        value.text = node.text;
    } else if (node.type == UNode_S::Array) {
        value.type = UProjectValue_S::List;
        for (std::size_t i = 0; i < node.items.size(); ++i) {
            const UNode_S& item = node.items[i];
            if (item.type != UNode_S::Number && item.type != UNode_S::Text) {
                throw UProject_C::MakeError(
                    6, {Located(key + "[" + std::to_string(i) + "]", item.line)});
            }
            value.items.push_back(item.text);
        }
    } else {
        throw UProject_C::MakeError(6, {Located(key, node.line)});
    }
    return value;
}

std::vector<UProjectValue_S> ReadOptions(const UNode_S& node, const std::string& key) {
    Expect(node, UNode_S::Object, key);
    std::vector<UProjectValue_S> options;
    for (const UNode_S& value : node.members) {
        const std::string& name = value.name;
        options.push_back(ReadOption(value, key + "." + name));
    }
    return options;
}

UProjectValue_S ReadText(const UNode_S& node, const std::string& key) {
    Expect(node, UNode_S::Text, key);
    UProjectValue_S value;
    value.key = key;
    value.line = node.line;
    value.text = node.text;
    return value;
}

std::vector<UProjectValue_S> ReadInputs(const UNode_S& node, const std::string& key) {
    Expect(node, UNode_S::Array, key);
    if (node.items.empty()) {
        throw UProject_C::MakeError(7, {Located(key, node.line)});
    }
    std::vector<UProjectValue_S> inputs;
    for (std::size_t i = 0; i < node.items.size(); ++i) {
        inputs.push_back(ReadText(node.items[i], key + "[" + std::to_string(i) + "]"));
    }
    return inputs;
}

UProjectSheet_S ReadSheet(const UNode_S& node, const std::string& key) {
    Expect(node, UNode_S::Object, key);
    UProjectSheet_S sheet;
    sheet.where = Located(key, node.line);
    bool hasInputs = false;
    for (const UNode_S& value : node.members) {
        const std::string& name = value.name;
        const std::string path = key + "." + name;
        if (name == "output") {
            sheet.output = ReadText(value, path);
        } else if (name == "data") {
            sheet.data = ReadText(value, path);
        } else if (name == "inputs") {
            sheet.inputs = ReadInputs(value, path);
            hasInputs = true;
        } else if (name == "options") {
            sheet.options = ReadOptions(value, path);
        } else {
            throw UProject_C::MakeError(3, {Located(path, value.line)});
        }
    }
    for (const auto& [name, given] :
         {std::pair{"output", !sheet.output.key.empty()}, std::pair{"inputs", hasInputs}}) {
        if (!given) {
            throw UProject_C::MakeError(8, {Located(key, node.line), name});
        }
    }
    return sheet;
}

}  // namespace

std::string UProjectValue_S::GetName() const {
    return key.substr(key.rfind('.') + 1);
}

std::string UProjectValue_S::Where() const {
    return Located(key, line);
}

UProject_C UProject_C::Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (!(file && text << file.rdbuf())) {
        throw MakeError(1, {std::strerror(errno)});
    }
    return Parse(text.str(), GetFolderPath(path));
}

UProject_C UProject_C::Parse(const std::string& text, const std::string& folder) {
    UPlace_S place;
    UTreeBuilder_C builder(place);
    nlohmann::json::sax_parse(ULineCounter_C(text.data(), &place),
                              ULineCounter_C(text.data() + text.size(), &place), &builder);
    const UNode_S& root = builder.root;
    Expect(root, UNode_S::Object, "the project");
    UProject_C project;
    project.folder = folder;
    bool hasSheets = false;
    for (const UNode_S& value : root.members) {
        const std::string& name = value.name;
        if (name == "$schema") {
            ReadText(value, name);
        } else if (name == "defaults") {
            project.defaults = ReadOptions(value, name);
        } else if (name == "sheets") {
            Expect(value, UNode_S::Array, name);
            for (std::size_t i = 0; i < value.items.size(); ++i) {
                project.sheets.push_back(
                    ReadSheet(value.items[i], name + "[" + std::to_string(i) + "]"));
            }
            hasSheets = !value.items.empty();
            if (!hasSheets) {
                throw MakeError(7, {Located(name, value.line)});
            }
        } else {
            throw MakeError(3, {Located(name, value.line)});
        }
    }
    if (!hasSheets) {
        throw MakeError(
            8, {Located(NS_Base::ShownText("UProject_C", "the project"), root.line), "sheets"});
    }
    return project;
}

std::string UProject_C::Resolve(const std::string& path) const {
    return path.starts_with('/') || folder == "./" ? path : folder + path;
}

NS_Base::UError_C UProject_C::MakeError(int32_t code, const std::vector<std::string>& values) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "cannot be read: %1")},
        {2, TR_NOOP("UError_C", "%1: not JSON: %2")},
        {3, TR_NOOP("UError_C", "%1: unknown key")},
        {4, TR_NOOP("UError_C", "%1: given twice")},
        {5, TR_NOOP("UError_C", "%1: takes %2, not %3")},
        {6, TR_NOOP("UError_C",
                    "%1: takes true, false, a number, a text or a list of numbers and texts")},
        {7, TR_NOOP("UError_C", "%1: takes a list of at least one")},
        {8, TR_NOOP("UError_C", "%1: lacks %2")},
        {0, nullptr},
    };
    const char* message = "";
    for (const NS_Base::UMessage_S& entry : table) {
        if (entry.code == code) {
            message = entry.message;
        }
    }
    const std::string text = NS_Base::FillIn(NS_Base::ShownText("UError_C", message), values);
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, text.c_str());
}

}  // namespace NS_Data
