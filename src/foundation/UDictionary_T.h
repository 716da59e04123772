#pragma once

#include <cstdint>
#include <map>

#include "foundation/DataFile.h"
#include "foundation/UError_C.h"

namespace NS_Data {

// An ordered map from keys to records held by value, ascending by the key's less-than. Its errors
// carry the name that ClassName gives for the actual object. `Key` offers GetString() for the
// text of a key error; `FileType` is the file a stored dictionary is read from and written to.
template <class Key, class Record, DataFile FileType>
class UDictionary_T : private std::map<Key, Record> {
    using Map = std::map<Key, Record>;

public:
    // Walks the entries read-only; a non-zero result of Process ends the walk.
    class UConstProcessForEach_C {
    public:
        virtual ~UConstProcessForEach_C() = default;
        virtual int32_t Process(const Key& key, const Record& record) = 0;
    };

    UDictionary_T() = default;
    virtual ~UDictionary_T() = default;

    virtual const char* ClassName() const { return "UDictionary_T"; }

    // The record under `key`, or null.
    const Record* Find(const Key& key) const;
    Record* Find(const Key& key);
    // The record under `key`; a missing key raises key error 1 with the key as infoEx.
    const Record& Get(const Key& key) const;
    // The record under `key` for changing; a missing key raises key error 2.
    Record& GetForSet(const Key& key);
    // The record under `key`, inserted default-constructed when there is none.
    Record& Insert(const Key& key) { return Map::try_emplace(key).first->second; }
    int32_t Count() const { return static_cast<int32_t>(Map::size()); }

    // Visits every entry in key order; returns the first non-zero result, else 0.
    int32_t ProcessForEach(UConstProcessForEach_C& visitor) const;

    // The format version of a stored dictionary.
    int32_t ReadVersion(FileType& file) const;
    int32_t WriteVersion(FileType& file, int32_t version) const;

protected:
    // A file error (user error): 1 "Unexpected file data.", 2 "Unexpected file sign.".
    NS_Base::UError_C MakeError(int32_t code, const char* extra) const;

private:
    NS_Base::UError_C MakeKeyError(int32_t code, const char* extra) const;
};

template <class Key, class Record, DataFile FileType>
const Record* UDictionary_T<Key, Record, FileType>::Find(const Key& key) const {
    const auto found = Map::find(key);
    return found == Map::end() ? nullptr : &found->second;
}

template <class Key, class Record, DataFile FileType>
Record* UDictionary_T<Key, Record, FileType>::Find(const Key& key) {
    const auto found = Map::find(key);
    return found == Map::end() ? nullptr : &found->second;
}

template <class Key, class Record, DataFile FileType>
const Record& UDictionary_T<Key, Record, FileType>::Get(const Key& key) const {
    const Record* record = Find(key);
    if (!record) {
        throw MakeKeyError(1, key.GetString());
    }
    return *record;
}

template <class Key, class Record, DataFile FileType>
Record& UDictionary_T<Key, Record, FileType>::GetForSet(const Key& key) {
    Record* record = Find(key);
    if (!record) {
        throw MakeKeyError(2, key.GetString());
    }
    return *record;
}

template <class Key, class Record, DataFile FileType>
int32_t UDictionary_T<Key, Record, FileType>::ProcessForEach(
    UConstProcessForEach_C& visitor) const {
    for (const auto& [key, record] : static_cast<const Map&>(*this)) {
        const int32_t result = visitor.Process(key, record);
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

template <class Key, class Record, DataFile FileType>
int32_t UDictionary_T<Key, Record, FileType>::ReadVersion(FileType& file) const {
    int32_t version = 0;
    file.ReadInt32(version);
    return version;
}

template <class Key, class Record, DataFile FileType>
int32_t UDictionary_T<Key, Record, FileType>::WriteVersion(FileType& file, int32_t version) const {
    file.WriteInt32(version);
    return version;
}

template <class Key, class Record, DataFile FileType>
NS_Base::UError_C UDictionary_T<Key, Record, FileType>::MakeError(int32_t code,
                                                                  const char* extra) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Unexpected file data.")},
        {2, TR_NOOP("UError_C", "Unexpected file sign.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}

template <class Key, class Record, DataFile FileType>
NS_Base::UError_C UDictionary_T<Key, Record, FileType>::MakeKeyError(int32_t code,
                                                                     const char* extra) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to get data because unexpected key.")},
        {2, TR_NOOP("UError_C", "Fail to set data because unexpected key.")},
        {3, TR_NOOP("UError_C", "Unexpected index.")},
        {4, TR_NOOP("UError_C", "Fail to find key by value.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, extra);
}

}  // namespace NS_Data
