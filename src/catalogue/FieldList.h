// A record's list of fields: each field once, with its name, its type and
// where it lives. HostRecords.h gives the list of each record beside it;
// reading and writing the file (the line tables of CatalogueLines.h name
// these rows), comparing, copying, hashing, merging and showing records all
// walk the lists, so a new field is a row there, plus its tag where the file
// holds it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace qb {

enum EntryKind : int32_t;

enum class FieldType : uint8_t {
    Kind,  // an entry's kind
    Text,
    Number,
    Flag,
    Position,  // a number that only a read file gives: the window's own otherwise
};

// The entry kinds whose line holds a field, one bit per kind value.
using KindSet = uint8_t;
constexpr KindSet kAllKinds = 0xFF;

template <class Record>
struct RecordField {
    const char* name;  // as dump shows it and the line checker names it
    FieldType type;
    std::string Record::*text = nullptr;
    int32_t Record::*number = nullptr;
    bool Record::*flag = nullptr;
    std::optional<int32_t> Record::*position = nullptr;
    EntryKind Record::*kind = nullptr;
    KindSet kinds = kAllKinds;  // entries: the kinds whose line holds the field
    // Its place among the fields of its type, for a record kept by place
    // rather than by member (see ranked).
    uint8_t rank = 0;
};

template <class Record>
constexpr RecordField<Record> textField(const char* name, std::string Record::*member, KindSet kinds = kAllKinds)
{
    return {name, FieldType::Text, member, nullptr, nullptr, nullptr, nullptr, kinds};
}

template <class Record>
constexpr RecordField<Record> numberField(const char* name, int32_t Record::*member, KindSet kinds = kAllKinds)
{
    return {name, FieldType::Number, nullptr, member, nullptr, nullptr, nullptr, kinds};
}

template <class Record>
constexpr RecordField<Record> flagField(const char* name, bool Record::*member, KindSet kinds = kAllKinds)
{
    return {name, FieldType::Flag, nullptr, nullptr, member, nullptr, nullptr, kinds};
}

template <class Record>
constexpr RecordField<Record> positionField(const char* name, std::optional<int32_t> Record::*member)
{
    return {name, FieldType::Position, nullptr, nullptr, nullptr, member, nullptr, kAllKinds};
}

template <class Record>
constexpr RecordField<Record> kindField(const char* name, EntryKind Record::*member)
{
    return {name, FieldType::Kind, nullptr, nullptr, nullptr, nullptr, member, kAllKinds};
}

// The list with each field's rank among the fields of its type filled in.
template <class Record, size_t N>
constexpr std::array<RecordField<Record>, N> ranked(std::array<RecordField<Record>, N> fields)
{
    uint8_t next[5] = {};
    for (RecordField<Record>& field : fields)
        field.rank = next[static_cast<size_t>(field.type)]++;
    return fields;
}

// The list of a record's fields: FieldsOf<Record>::list.
template <class Record>
struct FieldsOf;

// The row of a member, for tables that name fields by their member.
template <class Record, class Member>
constexpr const RecordField<Record>* fieldOf(Member Record::*member)
{
    for (const RecordField<Record>& field : FieldsOf<Record>::list) {
        if constexpr (std::is_same_v<Member, std::string>) {
            if (field.text == member)
                return &field;
        } else if constexpr (std::is_same_v<Member, int32_t>) {
            if (field.number == member)
                return &field;
        } else if constexpr (std::is_same_v<Member, bool>) {
            if (field.flag == member)
                return &field;
        } else if constexpr (std::is_same_v<Member, std::optional<int32_t>>) {
            if (field.position == member)
                return &field;
        } else {
            if (field.kind == member)
                return &field;
        }
    }
    return nullptr;
}

// Its place among the fields of its type, by which ranked lists keep it.
template <class Record, class Member>
constexpr uint8_t rankOf(Member Record::*member)
{
    return fieldOf(member)->rank;
}

// How many of a record's fields have the type.
template <class Record>
constexpr size_t fieldCount(FieldType type)
{
    size_t count = 0;
    for (const RecordField<Record>& field : FieldsOf<Record>::list)
        count += field.type == type;
    return count;
}

template <class Record>
bool sameValue(const RecordField<Record>& field, const Record& a, const Record& b)
{
    switch (field.type) {
    case FieldType::Kind: return a.*field.kind == b.*field.kind;
    case FieldType::Text: return a.*field.text == b.*field.text;
    case FieldType::Number: return a.*field.number == b.*field.number;
    case FieldType::Flag: return a.*field.flag == b.*field.flag;
    case FieldType::Position: return a.*field.position == b.*field.position;
    }
    return true;
}

template <class Record>
void copyValue(const RecordField<Record>& field, const Record& from, Record& to)
{
    switch (field.type) {
    case FieldType::Kind: to.*field.kind = from.*field.kind; break;
    case FieldType::Text: to.*field.text = from.*field.text; break;
    case FieldType::Number: to.*field.number = from.*field.number; break;
    case FieldType::Flag: to.*field.flag = from.*field.flag; break;
    case FieldType::Position: to.*field.position = from.*field.position; break;
    }
}

// Every field of the list the same in both.
template <class Record>
bool sameFields(const Record& a, const Record& b)
{
    for (const RecordField<Record>& field : FieldsOf<Record>::list) {
        if (!sameValue(field, a, b))
            return false;
    }
    return true;
}

}  // namespace qb
