// Where the file stores' read loop puts a file's bytes: each read goes to
// the room that room() gives, got() is told how much it brought, and done()
// ends it. One loop per store serves a whole read and a read in pieces.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace qb {

// A whole file in one string, sized beforehand from what the file says it
// holds and grown only if it grows while it is read.
class ReadIntoString
{
public:
    ReadIntoString(std::string& bytes, size_t expected) : m_bytes(bytes) { m_bytes.resize(expected + 1); }
    std::pair<char*, size_t> room()
    {
        if (m_filled == m_bytes.size())
            m_bytes.resize(m_bytes.size() * 2);
        return {&m_bytes[m_filled], m_bytes.size() - m_filled};
    }
    void got(size_t count) { m_filled += count; }
    void done() { m_bytes.resize(m_filled); }

private:
    std::string& m_bytes;
    size_t m_filled = 0;
};

// A file handed on a piece at a time.
class ReadInPieces
{
public:
    explicit ReadInPieces(const std::function<void(std::string_view)>& sink) : m_piece(256 * 1024, '\0'), m_sink(sink)
    {}
    std::pair<char*, size_t> room() { return {m_piece.data(), m_piece.size()}; }
    void got(size_t count) { m_sink(std::string_view(m_piece.data(), count)); }
    void done() {}

private:
    std::string m_piece;
    const std::function<void(std::string_view)>& m_sink;
};

}  // namespace qb
