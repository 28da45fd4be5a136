// A host's entries kept packed: per entry a small slot with its kind,
// numbers and flags, and its texts one after another in one block for the
// whole list. Read through views, changed an entry at a time.
#pragma once

#include "catalogue/CommandEntry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qb {

// Where an EntryList keeps an entry's field of that member.
template <auto Member>
inline constexpr size_t kRankOf = rankOf(Member);

constexpr size_t kEntryTextCount = fieldCount<CommandEntry>(FieldType::Text);
constexpr size_t kEntryNumberCount = fieldCount<CommandEntry>(FieldType::Number);
constexpr size_t kEntryFlagCount = fieldCount<CommandEntry>(FieldType::Flag);

// How an EntryList keeps one entry: its kind, numbers and flags, and where
// its texts start in the list's buffer of texts. Of the texts, only those
// it has (whatever its kind) take room there: each as its length, seven
// bits a byte from the lowest, the high bit set where more follow, then its
// bytes, in rank order.
struct EntrySlot {
    EntryKind kind;
    std::array<int32_t, kEntryNumberCount> numbers;
    uint32_t offset;
    uint8_t texts;  // one bit per text it has, by rank
    uint8_t flags;  // one bit per flag set, by rank
    // Always zero: a slot without padding compares and hashes as it lies.
    uint8_t spare[2];
};
static_assert(kEntryTextCount <= 8 && kEntryFlagCount <= 8, "an EntrySlot has eight bits for texts and for flags");
static_assert(std::has_unique_object_representations_v<EntrySlot>, "an EntrySlot has no padding");

// An entry of an EntryList, read where it lies; valid until the list changes.
class EntryView
{
public:
    EntryView(const EntrySlot& slot, const char* texts) : m_slot(&slot), m_texts(texts) {}

    EntryKind kind() const { return m_slot->kind; }
    std::string_view text(size_t rank) const;
    int32_t number(size_t rank) const { return m_slot->numbers[rank]; }
    bool flag(size_t rank) const { return (m_slot->flags >> rank & 1u) != 0; }
    // Whether its kind has a line that holds every value it has (not so for
    // the texts kept from a former kind, say).
    bool onlyOwnFields() const;

    std::string_view name() const { return text(kRankOf<&CommandEntry::name>); }
    std::string_view program() const { return text(kRankOf<&CommandEntry::program>); }
    std::string_view params() const { return text(kRankOf<&CommandEntry::params>); }
    int32_t icon() const { return number(kRankOf<&CommandEntry::icon>); }
    bool confirm() const { return flag(kRankOf<&CommandEntry::confirm>); }
    bool bold() const { return flag(kRankOf<&CommandEntry::bold>); }
    std::string_view templateHost() const { return text(kRankOf<&CommandEntry::templateHost>); }
    std::string_view drives() const { return text(kRankOf<&CommandEntry::drives>); }
    std::string_view url() const { return text(kRankOf<&CommandEntry::url>); }
    bool alternateBrowser() const { return flag(kRankOf<&CommandEntry::alternateBrowser>); }
    std::string_view urlName() const { return text(kRankOf<&CommandEntry::urlName>); }

    // The entry as a record of its own, every field copied.
    CommandEntry toEntry() const;

private:
    const EntrySlot* m_slot;
    const char* m_texts;
};

// A host's entries, in menu order. A whole list is two blocks, however many
// entries it has: their slots, and their texts one after another in entry
// order. Entries are values: read through views, changed whole.
class EntryList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = EntryView;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = EntryView;

        const_iterator(const EntryList& list, size_t index) : m_list(&list), m_index(index) {}
        EntryView operator*() const { return (*m_list)[m_index]; }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const EntryList* m_list;
        size_t m_index;
    };

    // Fills the entry just begun by append, field by field, its texts in
    // rank order: how the reader fills a list with no record in between.
    class Appender
    {
    public:
        void text(size_t rank, std::string_view value)
        {
            if (value.empty())
                return;
            m_list.m_texts.appendLength(value.size());
            m_list.m_texts.append(value.data(), value.size());
            m_list.m_slots.back().texts |= static_cast<uint8_t>(1u << rank);
        }
        void number(size_t rank, int32_t value) { m_list.m_slots.back().numbers[rank] = value; }
        void flag(size_t rank, bool value);

    private:
        friend class EntryList;
        explicit Appender(EntryList& list) : m_list(list) {}
        EntryList& m_list;
    };

    size_t size() const { return m_slots.size(); }
    bool empty() const { return m_slots.empty(); }
    EntryView operator[](size_t index) const { return EntryView(m_slots[index], m_texts.data()); }
    EntryView back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return const_iterator(*this, 0); }
    const_iterator end() const { return const_iterator(*this, size()); }
    // The bytes its texts take, lengths included.
    size_t textBytes() const { return m_texts.size(); }
    // The list's two blocks as they lie: equal lists, equal bytes.
    std::string_view packedSlots() const
    {
        return {reinterpret_cast<const char*>(m_slots.data()), m_slots.size() * sizeof(EntrySlot)};
    }
    std::string_view packedTexts() const { return {m_texts.data(), m_texts.size()}; }
    // Calls visit with every text of every entry, in the order they lie.
    template <class Visit>
    void forEachText(Visit&& visit) const;

    Appender append(EntryKind kind);
    void push_back(const CommandEntry& entry);
    void set(size_t index, const CommandEntry& entry);
    // Changes one entry through a record of its own.
    template <class Change>
    void update(size_t index, Change&& change)
    {
        CommandEntry entry = (*this)[index].toEntry();
        change(entry);
        set(index, entry);
    }
    void erase(size_t index);
    void pop_back();
    // Exchanges two entries.
    void swap(size_t first, size_t second);
    void clear();

    void reserve(size_t entries, size_t textBytes);
    // Gives back room that a guess made too large, where it is more than a
    // quarter of what is used.
    void trimSpare();

    friend bool operator==(const EntryList& a, const EntryList& b);
    friend bool operator!=(const EntryList& a, const EntryList& b) { return !(a == b); }

private:
    // Bytes in one block that grows as a vector's does, sized in 32 bits: the
    // texts of one host's entries.
    class Texts
    {
    public:
        Texts() = default;
        Texts(const Texts& other);
        Texts(Texts&& other) noexcept;
        Texts& operator=(Texts other) noexcept;

        const char* data() const { return m_bytes.get(); }
        size_t size() const { return m_size; }
        size_t capacity() const { return m_capacity; }

        void append(const void* bytes, size_t count)
        {
            if (count == 0)
                return;
            if (count > m_capacity - m_size)
                grow(count);
            std::memcpy(m_bytes.get() + m_size, bytes, count);
            m_size += static_cast<uint32_t>(count);
        }
        // Appends a length as the list keeps it.
        void appendLength(size_t length)
        {
            unsigned char bytes[10];
            size_t count = 0;
            for (; length >= 0x80; length >>= 7)
                bytes[count++] = static_cast<unsigned char>((length & 0x7F) | 0x80);
            bytes[count++] = static_cast<unsigned char>(length);
            append(bytes, count);
        }
        void truncate(size_t size) { m_size = static_cast<uint32_t>(size); }
        void reserve(size_t capacity);
        void shrinkToFit();
        // Bytes [begin, end) become those of with.
        void replace(size_t begin, size_t end, const Texts& with);

        bool operator==(const Texts& other) const;

    private:
        void grow(size_t more);

        std::unique_ptr<char[]> m_bytes;
        uint32_t m_size = 0;
        uint32_t m_capacity = 0;
    };

    // Entries [index, index + count) become those of with.
    void replace(size_t index, size_t count, const EntryList& with);
    size_t textsOf(size_t index) const { return index < m_slots.size() ? m_slots[index].offset : m_texts.size(); }

    std::vector<EntrySlot> m_slots;
    Texts m_texts;
};

// The length that starts at `at`, as the list keeps it; `at` moves past it.
inline size_t readTextLength(const unsigned char*& at)
{
    size_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char byte = *at++;
        length |= static_cast<size_t>(byte & 0x7Fu) << shift;
        if ((byte & 0x80u) == 0)
            return length;
    }
}

inline std::string_view EntryView::text(size_t rank) const
{
    const unsigned has = m_slot->texts;
    if ((has >> rank & 1u) == 0)
        return {};
    const auto* at = reinterpret_cast<const unsigned char*>(m_texts) + m_slot->offset;
    for (unsigned before = has & ((1u << rank) - 1);; before &= before - 1) {
        const size_t length = readTextLength(at);
        if (before == 0)
            return {reinterpret_cast<const char*>(at), length};
        at += length;
    }
}

template <class Visit>
void EntryList::forEachText(Visit&& visit) const
{
    const auto* at = reinterpret_cast<const unsigned char*>(m_texts.data());
    const auto* end = at + m_texts.size();
    while (at != end) {
        const size_t length = readTextLength(at);
        visit(std::string_view(reinterpret_cast<const char*>(at), length));
        at += length;
    }
}

}  // namespace qb
