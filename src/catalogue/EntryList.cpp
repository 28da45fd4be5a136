#include "catalogue/EntryList.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace qb {

EntryList::Texts::Texts(const Texts& other)
{
    reserve(other.m_size);
    append(other.data(), other.m_size);
}

EntryList::Texts::Texts(Texts&& other) noexcept
    : m_bytes(std::move(other.m_bytes)), m_size(other.m_size), m_capacity(other.m_capacity)
{
    other.m_size = other.m_capacity = 0;
}

EntryList::Texts& EntryList::Texts::operator=(Texts other) noexcept
{
    std::swap(m_bytes, other.m_bytes);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    return *this;
}

namespace {

// Offsets into one host's texts are 32 bits: ample for a menu, and half the
// room of 64-bit ones in every entry.
constexpr size_t kMostTextBytes = std::numeric_limits<uint32_t>::max();

[[noreturn]] void refuseMoreText()
{
    throw std::length_error("a host's entries hold more than 4 GB of text");
}

}  // namespace

void EntryList::Texts::grow(size_t more)
{
    if (more > kMostTextBytes - m_size)
        refuseMoreText();
    reserve(std::max<size_t>(m_size + more, std::min<size_t>(kMostTextBytes, 2 * size_t{m_capacity})));
}

void EntryList::Texts::reserve(size_t capacity)
{
    if (capacity <= m_capacity)
        return;
    if (capacity > kMostTextBytes)
        refuseMoreText();
    std::unique_ptr<char[]> bytes(new char[capacity]);
    if (m_size)
        std::memcpy(bytes.get(), m_bytes.get(), m_size);
    m_bytes = std::move(bytes);
    m_capacity = static_cast<uint32_t>(capacity);
}

void EntryList::Texts::shrinkToFit()
{
    if (m_capacity == m_size)
        return;
    Texts fitted(*this);
    *this = std::move(fitted);
}

void EntryList::Texts::replace(size_t begin, size_t end, const Texts& with)
{
    Texts spliced;
    spliced.reserve(m_size - (end - begin) + with.m_size);
    spliced.append(data(), begin);
    spliced.append(with.data(), with.m_size);
    spliced.append(data() + end, m_size - end);
    *this = std::move(spliced);
}

bool EntryList::Texts::operator==(const Texts& other) const
{
    return m_size == other.m_size && (m_size == 0 || std::memcmp(data(), other.data(), m_size) == 0);
}

namespace {

// One bit per field of the type, by rank, that the kind's line holds.
constexpr unsigned heldBy(EntryKind kind, FieldType type)
{
    unsigned held = 0;
    for (const RecordField<CommandEntry>& field : kEntryFields)
        if (field.type == type && kindHolds(field.kinds, kind))
            held |= 1u << field.rank;
    return held;
}

template <FieldType Type>
constexpr std::array<unsigned, 4> kHeld = {heldBy(CustomCommand, Type), heldBy(WindowsTemplate, Type),
                                           heldBy(Separator, Type), heldBy(Url, Type)};

}  // namespace

bool EntryView::onlyOwnFields() const
{
    const EntryKind kind = m_slot->kind;
    if (kind < CustomCommand || kind > Url)
        return false;  // a kind without a line is not written at all
    if ((m_slot->texts & ~kHeld<FieldType::Text>[kind]) != 0 || (m_slot->flags & ~kHeld<FieldType::Flag>[kind]) != 0)
        return false;
    for (size_t rank = 0; rank < kEntryNumberCount; ++rank)
        if ((kHeld<FieldType::Number>[kind] >> rank & 1u) == 0 && m_slot->numbers[rank] != 0)
            return false;
    return true;
}

CommandEntry EntryView::toEntry() const
{
    CommandEntry entry;
    entry.kind = kind();
    for (const RecordField<CommandEntry>& field : kEntryFields) {
        switch (field.type) {
        case FieldType::Text: entry.*field.text = text(field.rank); break;
        case FieldType::Number: entry.*field.number = number(field.rank); break;
        case FieldType::Flag: entry.*field.flag = flag(field.rank); break;
        case FieldType::Kind:
        case FieldType::Position: break;  // the kind is the slot's own; entries have no position
        }
    }
    return entry;
}

void EntryList::Appender::flag(size_t rank, bool value)
{
    uint8_t& flags = m_list.m_slots.back().flags;
    const auto bit = static_cast<uint8_t>(1u << rank);
    flags = static_cast<uint8_t>(value ? flags | bit : flags & ~bit);
}

EntryList::Appender EntryList::append(EntryKind kind)
{
    EntrySlot slot{};
    slot.kind = kind;
    slot.offset = static_cast<uint32_t>(m_texts.size());
    m_slots.push_back(slot);
    return Appender(*this);
}

void EntryList::push_back(const CommandEntry& entry)
{
    const size_t texts = m_texts.size();
    Appender appender = append(entry.kind);
    try {
        for (const RecordField<CommandEntry>& field : kEntryFields) {
            switch (field.type) {
            case FieldType::Text: appender.text(field.rank, entry.*field.text); break;
            case FieldType::Number: appender.number(field.rank, entry.*field.number); break;
            case FieldType::Flag: appender.flag(field.rank, entry.*field.flag); break;
            case FieldType::Kind:
            case FieldType::Position: break;
            }
        }
    } catch (...) {
        m_slots.pop_back();
        m_texts.truncate(texts);
        throw;
    }
}

void EntryList::replace(size_t index, size_t count, const EntryList& with)
{
    const size_t begin = textsOf(index);
    const size_t end = textsOf(index + count);
    // The new slots first, so that a failure leaves the list as it was.
    std::vector<EntrySlot> slots;
    slots.reserve(m_slots.size() - count + with.size());
    slots.insert(slots.end(), m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(index));
    for (EntrySlot slot : with.m_slots) {
        slot.offset = static_cast<uint32_t>(slot.offset + begin);
        slots.push_back(slot);
    }
    for (size_t i = index + count; i < m_slots.size(); ++i) {
        EntrySlot slot = m_slots[i];
        slot.offset = static_cast<uint32_t>(slot.offset - (end - begin) + with.m_texts.size());
        slots.push_back(slot);
    }
    m_texts.replace(begin, end, with.m_texts);
    m_slots.swap(slots);
}

void EntryList::set(size_t index, const CommandEntry& entry)
{
    EntryList one;
    one.push_back(entry);
    replace(index, 1, one);
}

void EntryList::erase(size_t index)
{
    replace(index, 1, EntryList());
}

void EntryList::pop_back()
{
    m_texts.truncate(m_slots.back().offset);
    m_slots.pop_back();
}

void EntryList::swap(size_t first, size_t second)
{
    if (first == second)
        return;
    CommandEntry a = (*this)[first].toEntry();
    CommandEntry b = (*this)[second].toEntry();
    set(first, b);
    set(second, a);
}

void EntryList::clear()
{
    m_slots.clear();
    m_texts.truncate(0);
}

void EntryList::reserve(size_t entries, size_t textBytes)
{
    m_slots.reserve(entries);
    m_texts.reserve(textBytes);
}

void EntryList::trimSpare()
{
    if (m_slots.capacity() - m_slots.size() > m_slots.size() / 4)
        m_slots.shrink_to_fit();
    if (m_texts.capacity() - m_texts.size() > m_texts.size() / 4)
        m_texts.shrinkToFit();
}

// Equal entries are laid out alike, offsets included, so the lists compare
// as they lie.
bool operator==(const EntryList& a, const EntryList& b)
{
    return a.packedSlots() == b.packedSlots() && a.packedTexts() == b.packedTexts();
}

}  // namespace qb
