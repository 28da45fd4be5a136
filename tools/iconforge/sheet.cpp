#include "sheet.h"

#include <string>

namespace iconforge {
namespace {

constexpr int kColumns = 12;
constexpr int kZoom = 4;
constexpr int kPitch = kZoom + 1;  // one grid line per enlarged pixel
constexpr int kMargin = 8;
constexpr int kDigitScale = 2;

const Rgb kPaper{246, 246, 246};
const Rgb kGrid{176, 176, 176};
const Rgb kCheckLight{228, 228, 228};
const Rgb kCheckDark{204, 204, 204};
const Rgb kInk{40, 40, 40};
// Backgrounds the pictures meet in the program: a window and a menu highlight.
const Rgb kWindow{255, 255, 255};
const Rgb kHighlight{0, 84, 166};

// 3x5 digits, one row a string.
const char* const kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

class Painter
{
public:
    Painter(int width, int height)
    {
        m_canvas.width = width;
        m_canvas.height = height;
        m_canvas.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
        fill(0, 0, width, height, kPaper);
    }

    void fill(int x0, int y0, int w, int h, Rgb c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                set(x, y, c);
    }

    // Enlarged with a grid; transparent pixels show a checkerboard.
    void enlarged(const Image& img, int x0, int y0)
    {
        const int span = img.size * kPitch + 1;
        fill(x0, y0, span, span, kGrid);
        for (int y = 0; y < img.size; ++y)
            for (int x = 0; x < img.size; ++x) {
                const Pixel& p = img.at(x, y);
                Rgb c = p.opaque ? p.colour : ((x + y) % 2 ? kCheckDark : kCheckLight);
                fill(x0 + 1 + x * kPitch, y0 + 1 + y * kPitch, kZoom, kZoom, c);
            }
    }

    void actual(const Image& img, int x0, int y0, Rgb background)
    {
        for (int y = 0; y < img.size; ++y)
            for (int x = 0; x < img.size; ++x) {
                const Pixel& p = img.at(x, y);
                set(x0 + x, y0 + y, p.opaque ? p.colour : background);
            }
    }

    // Returns the width drawn.
    int number(int value, int x0, int y0)
    {
        std::string text = std::to_string(value);
        int x = x0;
        for (char ch : text) {
            const auto& glyph = kDigits[ch - '0'];
            for (int gy = 0; gy < 5; ++gy)
                for (int gx = 0; gx < 3; ++gx)
                    if (glyph[gy][gx] == '#')
                        fill(x + gx * kDigitScale, y0 + gy * kDigitScale, kDigitScale, kDigitScale, kInk);
            x += 4 * kDigitScale;
        }
        return x - x0;
    }

    // An enlarged picture with its number and actual-size previews below.
    void cell(const Image& img, int label, int x0, int y0)
    {
        enlarged(img, x0, y0);
        int y = y0 + img.size * kPitch + 1 + 4;
        int x = x0 + number(label, x0, y + (img.size - 5 * kDigitScale) / 2) + 4;
        fill(x, y, img.size, img.size, kWindow);
        actual(img, x, y, kWindow);
        actual(img, x + img.size + 2, y, kHighlight);
    }

    Canvas take() { return std::move(m_canvas); }

private:
    void set(int x, int y, Rgb c)
    {
        if (x < 0 || y < 0 || x >= m_canvas.width || y >= m_canvas.height)
            return;
        size_t at = (static_cast<size_t>(y) * static_cast<size_t>(m_canvas.width) + static_cast<size_t>(x)) * 3;
        m_canvas.rgb[at] = c.r;
        m_canvas.rgb[at + 1] = c.g;
        m_canvas.rgb[at + 2] = c.b;
    }

    Canvas m_canvas;
};

int cellHeight(int size)
{
    return size * kPitch + 1 + 4 + size + kMargin;
}

}  // namespace

Canvas drawContactSheet(const std::vector<Image>& strip, const Image& app32, const Image& app16)
{
    const int cellW = kIconSize * kPitch + 1 + kMargin + 4;
    const int rows = (static_cast<int>(strip.size()) + kColumns - 1) / kColumns;
    const int width = kMargin + kColumns * cellW;
    const int height = kMargin + rows * cellHeight(kIconSize) + kMargin + cellHeight(app32.size);
    Painter p(width, height);
    for (size_t i = 0; i < strip.size(); ++i) {
        int col = static_cast<int>(i) % kColumns;
        int row = static_cast<int>(i) / kColumns;
        p.cell(strip[i], static_cast<int>(i), kMargin + col * cellW, kMargin + row * cellHeight(kIconSize));
    }
    // The application icon last, labelled by its size.
    int y = kMargin + rows * cellHeight(kIconSize) + kMargin;
    p.cell(app32, app32.size, kMargin, y);
    p.cell(app16, app16.size, kMargin + app32.size * kPitch + 1 + 2 * kMargin + 40, y);
    return p.take();
}

}  // namespace iconforge
