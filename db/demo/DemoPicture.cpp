#include "db/demo/DemoPicture.h"

#include "db/demo/DemoRandom.h"

#include <QtEndian>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteSize = 2 * 4;
constexpr int kPixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;

void PutLittleEndian32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void PutLittleEndian16(QByteArray& bytes, int offset, quint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

QByteArray DemoBitmap(DemoRandom& random, int width, int height)
{
    // Rows are padded to whole 32-bit words and stored bottom-up; a set bit is palette
    // entry 1, white.
    const int stride = (width + 31) / 32 * 4;
    QByteArray bmp(kPixelOffset, '\0');
    bmp += QByteArray(stride * height, '\xFF');
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLittleEndian32(bmp, 2, static_cast<quint32>(bmp.size()));
    PutLittleEndian32(bmp, 10, kPixelOffset);
    PutLittleEndian32(bmp, 14, kInfoHeaderSize);
    PutLittleEndian32(bmp, 18, static_cast<quint32>(width));
    PutLittleEndian32(bmp, 22, static_cast<quint32>(height));
    PutLittleEndian16(bmp, 26, 1); // planes
    PutLittleEndian16(bmp, 28, 1); // bits per pixel
    PutLittleEndian32(bmp, 34, static_cast<quint32>(stride * height));
    PutLittleEndian32(bmp, 38, 2835); // 72 dpi, in pixels per metre
    PutLittleEndian32(bmp, 42, 2835);
    PutLittleEndian32(bmp, 46, 2); // colours in the palette
    // Palette entry 0 stays black; entry 1 is white.
    bmp[kPixelOffset - 4] = bmp[kPixelOffset - 3] = bmp[kPixelOffset - 2] = '\xFF';

    const auto blacken = [&](int x, int y) {
        char& byte = bmp[kPixelOffset + (height - 1 - y) * stride + x / 8];
        byte = static_cast<char>(byte & ~(0x80 >> (x % 8)));
    };
    for (int x = 0; x < width; ++x) {
        blacken(x, 0);
        blacken(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        blacken(0, y);
        blacken(width - 1, y);
    }
    for (int box = random.Between(2, 6); box > 0; --box) {
        const int left = random.Below(width - 1);
        const int top = random.Below(height - 1);
        const int right = random.Between(left + 1, qMin(width - 1, left + width / 2));
        const int bottom = random.Between(top + 1, qMin(height - 1, top + height / 2));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                blacken(x, y);
    }
    return bmp;
}
