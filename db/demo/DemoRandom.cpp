#include "db/demo/DemoRandom.h"

#include <cstdio>

DemoRandom DemoRandom::For(DemoStream stream, qint64 index)
{
    // Any fixed start will do; mixing stream and index through the generator once keeps
    // neighbouring seeds from giving related sequences.
    DemoRandom mixer(0x4B6F7276656C2024ULL ^ (static_cast<quint64>(stream) << 56) ^ static_cast<quint64>(index));
    return DemoRandom(mixer.Next());
}

quint64 DemoRandom::Next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int DemoRandom::Below(int bound)
{
    return static_cast<int>((Next() >> 11) % static_cast<quint64>(bound));
}

int DemoRandom::Between(int low, int high)
{
    return low + Below(high - low + 1);
}

bool DemoRandom::Chance(int percent)
{
    return Below(100) < percent;
}

QByteArray DemoRandom::Bytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(Next() >> 56);
    return bytes;
}

QByteArray DemoRandom::Guid()
{
    const quint64 high = (Next() & ~0xF000ULL) | 0x4000ULL;                       // version 4
    const quint64 low = (Next() & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL; // RFC 4122 variant
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(high >> 32),
                  static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFFF),
                  static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return QByteArray(text);
}
