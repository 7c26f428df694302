// Writes the program's icon resource as a Windows icon file, for the
// executable's resources: one 32-bit picture with its mask per size, so the
// icon exists once, as data in res/.
//
//   quorvel-icon-ico OUTPUT.ico

#include <cstdint>
#include <cstdio>
#include <vector>

#include "res/resource.h"
#include "win_resource.h"

namespace {

constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;

class ByteWriter {
public:
    void U8(unsigned value) { m_bytes.push_back(static_cast<uint8_t>(value)); }
    void U16(unsigned value) { U8(value & 0xFF); U8(value >> 8); }
    void U32(uint32_t value) { U16(value & 0xFFFF); U16(value >> 16); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

int PaletteIndex(char pixel)
{
    return pixel >= 'a' ? pixel - 'a' + 10 : pixel - '0';
}

int MaskRowBytes(int size) { return (size + 31) / 32 * 4; }

int ImageBytes(int size) { return kBitmapHeaderSize + size * size * 4 + size * MaskRowBytes(size); }

// Bottom-up rows, as device-independent bitmaps store them; the mask is set
// where the picture is transparent.
void WriteImage(ByteWriter& out, const IconResource& icon, const IconImage& image)
{
    const int size = image.size;
    out.U32(kBitmapHeaderSize);
    out.U32(static_cast<uint32_t>(size));
    out.U32(static_cast<uint32_t>(size * 2));
    out.U16(1);
    out.U16(32);
    for (int field = 0; field < 6; ++field)
        out.U32(0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const char pixel = image.rows[y][x];
            const uint32_t argb = pixel == ' ' ? 0 : icon.palette[PaletteIndex(pixel)];
            out.U32(argb);
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(MaskRowBytes(size)), 0);
        for (int x = 0; x < size; ++x) {
            if (image.rows[y][x] == ' ')
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        for (uint8_t byte : row)
            out.U8(byte);
    }
}

std::vector<uint8_t> IconFile(const IconResource& icon)
{
    ByteWriter out;
    out.U16(0);
    out.U16(1);
    out.U16(static_cast<unsigned>(icon.imageCount));
    uint32_t offset = static_cast<uint32_t>(kHeaderSize + kEntrySize * icon.imageCount);
    for (int i = 0; i < icon.imageCount; ++i) {
        const int size = icon.images[i].size;
        out.U8(static_cast<unsigned>(size));
        out.U8(static_cast<unsigned>(size));
        out.U8(0);
        out.U8(0);
        out.U16(1);
        out.U16(32);
        out.U32(static_cast<uint32_t>(ImageBytes(size)));
        out.U32(offset);
        offset += static_cast<uint32_t>(ImageBytes(size));
    }
    for (int i = 0; i < icon.imageCount; ++i)
        WriteImage(out, icon, icon.images[i]);
    return out.Bytes();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    const IconResource* icon = FindIconResource(IDR_MAINFRAME);
    if (!icon) {
        std::fprintf(stderr, "%s: the program has no icon\n", argv[0]);
        return 1;
    }
    const std::vector<uint8_t> bytes = IconFile(*icon);
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
